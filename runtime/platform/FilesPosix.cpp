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

bool WriteFileExclusively(const std::filesystem::path& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        return false;
    }
    // Truncated only once the lock is held, so a file in use is left intact.
    bool ok = ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::ftruncate(fd, 0) == 0;
    std::size_t written = 0;
    while (ok && written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        ok = n > 0;
        if (ok) {
            written += static_cast<std::size_t>(n);
        }
    }
    return ::close(fd) == 0 && ok;
}

}  // namespace mofeng::runtime::platform
