#include "runtime/platform/WindowsErrorText.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace mofeng::runtime::platform {

std::string WindowsErrorText(unsigned long error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH:
            return "No such file or directory";
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return "Permission denied";
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return "No space left on device";
        case ERROR_WRITE_PROTECT:
            return "Read-only file system";
        default:
            return "Windows error " + std::to_string(error);
    }
}

}  // namespace mofeng::runtime::platform
