#include "runtime/platform/NarrowFileName.h"

namespace mofeng::runtime::platform {

std::optional<std::string> NarrowFileName(const std::filesystem::path& path) {
    return path.native();
}

}  // namespace mofeng::runtime::platform
