#include "runtime/platform/Files.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <io.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace mofeng::runtime::platform {

std::string WriteAccessProblem(const std::filesystem::path& path) {
    constexpr int kWrite = 2;  // _waccess mode
    return _waccess(path.c_str(), kWrite) == 0 ? std::string() : std::strerror(errno);
}

bool WriteFileExclusively(const std::filesystem::path& path, std::string_view bytes) {
    // Share mode 0: the open fails while anyone else has the file open, and
    // nobody can open it until it is closed. OPEN_ALWAYS keeps the content
    // until the handle is held; the reparse-point flag opens a link itself.
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    FILE_ATTRIBUTE_TAG_INFO tag{};
    bool ok = GetFileInformationByHandleEx(file, FileAttributeTagInfo, &tag, sizeof tag) &&
              (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 && SetEndOfFile(file);
    std::size_t written = 0;
    while (ok && written < bytes.size()) {
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1u << 30));
        DWORD n = 0;
        ok = WriteFile(file, bytes.data() + written, chunk, &n, nullptr) && n > 0;
        written += n;
    }
    return CloseHandle(file) && ok;
}

}  // namespace mofeng::runtime::platform
