#include "runtime/platform/UniqueFile.h"

#include <stdlib.h>
#include <unistd.h>

#include <string>

namespace mofeng::runtime::platform {

std::filesystem::path CreateUniqueFile(const std::filesystem::path& folder,
                                       std::string_view prefix) {
    std::string pattern = (folder / (std::string(prefix) + "XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        return {};
    }
    ::close(fd);
    return pattern;
}

}  // namespace mofeng::runtime::platform
