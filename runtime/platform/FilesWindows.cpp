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

std::string ReadAccessProblem(const std::filesystem::path& path) {
    constexpr int kRead = 4;  // _waccess mode
    return _waccess(path.c_str(), kRead) == 0 ? std::string() : std::strerror(errno);
}

bool HeldByAnotherWriter(const std::filesystem::path& path) {
    // Share mode 0 fails while anyone else has the file open.
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_SHARING_VIOLATION;
    }
    CloseHandle(file);
    return false;
}

}  // namespace mofeng::runtime::platform
