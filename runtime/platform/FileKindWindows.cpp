#include "runtime/platform/FileKind.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "runtime/platform/WindowsErrorText.h"

namespace mofeng::runtime::platform {

FileKind KindOfFile(const std::filesystem::path& path, std::string* problem) {
    // No access asked for: this opens neither a pipe's data nor a device's,
    // and links are followed as stat(2) follows them.
    const HANDLE file =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        if (problem != nullptr) {
            *problem = WindowsErrorText(GetLastError());
        }
        return FileKind::Missing;
    }
    FileKind kind = FileKind::Other;
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &info)) {
        kind = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::Directory
                                                                       : FileKind::Regular;
    }
    CloseHandle(file);
    return kind;
}

}  // namespace mofeng::runtime::platform
