#include "runtime/platform/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace mofeng::runtime::platform {

InputFile::InputFile(const std::filesystem::path& path)
    : m_handle(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)) {}

InputFile::~InputFile() {
    if (m_handle >= 0) {
        ::close(static_cast<int>(m_handle));
    }
}

bool InputFile::IsOpen() const {
    return m_handle >= 0;
}

bool InputFile::Examine(FileKind& kind, std::uint64_t& size) const {
    struct stat info {};
    if (m_handle < 0 || ::fstat(static_cast<int>(m_handle), &info) != 0) {
        return false;
    }
    kind = S_ISREG(info.st_mode)   ? FileKind::Regular
           : S_ISDIR(info.st_mode) ? FileKind::Directory
                                   : FileKind::Other;
    size = static_cast<std::uint64_t>(info.st_size);
    return true;
}

long long InputFile::Read(char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(static_cast<int>(m_handle), buffer, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return n;
    }
}

}  // namespace mofeng::runtime::platform
