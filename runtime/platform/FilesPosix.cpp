#include "runtime/platform/Files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace mofeng::runtime::platform {

std::string WriteAccessProblem(const std::filesystem::path& path) {
    return ::access(path.c_str(), W_OK) == 0 ? std::string() : std::strerror(errno);
}

std::string ReadAccessProblem(const std::filesystem::path& path) {
    return ::access(path.c_str(), R_OK) == 0 ? std::string() : std::strerror(errno);
}

bool HeldByAnotherWriter(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return false;
    }
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return held;
}

}  // namespace mofeng::runtime::platform
