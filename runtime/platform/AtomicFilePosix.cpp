#include "runtime/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

namespace mofeng::runtime {
namespace {

class FileDevice final : public OutputDevice {
public:
    explicit FileDevice(int fd) : m_fd(fd) {}
    bool Write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                return false;
            }
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }

private:
    int m_fd;
};

// The process's umask, read without changing it (umask(2) cannot, and a
// set-and-restore would race with other threads creating files).
mode_t NewFileMode() {
    mode_t mask = 022;
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        while (std::fgets(line, sizeof line, status) != nullptr) {
            unsigned int value = 0;
            if (std::sscanf(line, "Umask: %o", &value) == 1) {
                mask = static_cast<mode_t>(value);
                break;
            }
        }
        std::fclose(status);
    }
    return 0666 & ~mask;
}

}  // namespace

bool IsAbsentOrRegularFile(const std::filesystem::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return errno == ENOENT;
    }
    return S_ISREG(info.st_mode);
}

bool WriteFileAtomically(const std::filesystem::path& target,
                         const std::function<bool(OutputDevice&)>& produce,
                         const DeviceWrapper& wrap) {
    if (target.empty() || !target.has_filename() || !IsAbsentOrRegularFile(target)) {
        return false;
    }
    struct stat existing {};
    const bool replacing = ::lstat(target.c_str(), &existing) == 0;
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const std::filesystem::path temporary = pattern;
    FileDevice file(fd);
    bool ok = false;
    {
        std::unique_ptr<OutputDevice> wrapped = wrap ? wrap(file) : nullptr;
        ok = produce(wrapped ? *wrapped : static_cast<OutputDevice&>(file));
    }
    ok = ok && ::fchmod(fd, replacing ? (existing.st_mode & 07777) : NewFileMode()) == 0;
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    // Checked again just before the rename: something else may have appeared meanwhile.
    ok = ok && IsAbsentOrRegularFile(target) && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {  // makes the rename itself durable; best effort
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return true;
}

}  // namespace mofeng::runtime
