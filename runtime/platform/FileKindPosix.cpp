#include "runtime/platform/FileKind.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace mofeng::runtime::platform {

FileKind KindOfFile(const std::filesystem::path& path, std::string* problem) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (problem != nullptr) {
            *problem = std::strerror(errno);
        }
        return FileKind::Missing;
    }
    return S_ISREG(info.st_mode)   ? FileKind::Regular
           : S_ISDIR(info.st_mode) ? FileKind::Directory
                                   : FileKind::Other;
}

}  // namespace mofeng::runtime::platform
