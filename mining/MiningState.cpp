#include "mining/MiningState.h"

namespace mofeng::mining {

std::unique_ptr<MiningRunLease> MiningState::TryBeginRun() {
    bool idle = false;
    if (!m_runActive.compare_exchange_strong(idle, true, std::memory_order_acq_rel)) {
        return nullptr;
    }
    return std::unique_ptr<MiningRunLease>(new MiningRunLease(*this));
}

MiningRunLease::~MiningRunLease() {
    m_state.m_runActive.store(false, std::memory_order_release);
}

}  // namespace mofeng::mining
