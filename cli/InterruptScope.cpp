#include "cli/InterruptScope.h"

#include <atomic>
#include <csignal>

namespace mofeng::cli {
namespace {

// Read by the signal handler: a lock-free atomic is safe there.
std::atomic<runtime::CancelToken*> g_interruptToken{nullptr};

extern "C" void OnInterrupt(int) {
    if (runtime::CancelToken* token = g_interruptToken.load()) {
        token->Cancel();
    }
}

}  // namespace

InterruptScope::InterruptScope(runtime::CancelToken& token) {
    g_interruptToken.store(&token);
    m_previous = std::signal(SIGINT, OnInterrupt);
}

InterruptScope::~InterruptScope() {
    std::signal(SIGINT, m_previous);
    g_interruptToken.store(nullptr);
}

}  // namespace mofeng::cli
