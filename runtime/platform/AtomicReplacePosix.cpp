#include "runtime/platform/AtomicReplace.h"

#include <cstdio>

namespace mofeng::runtime::platform {

bool ReplaceWithFile(const std::filesystem::path& replacement,
                     const std::filesystem::path& target) {
    return std::rename(replacement.c_str(), target.c_str()) == 0;
}

}  // namespace mofeng::runtime::platform
