#include "runtime/AtomicFile.h"

namespace mofeng::runtime {

bool WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                         const DeviceWrapper& wrap) {
    return WriteFileAtomically(
        target, [bytes](OutputDevice& device) { return device.Write(bytes); }, wrap);
}

}  // namespace mofeng::runtime
