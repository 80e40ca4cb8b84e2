#include "runtime/platform/InputFile.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>

namespace mofeng::runtime::platform {
namespace {

HANDLE AsHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

// Opening never waits on Windows (a pipe without a free instance fails at
// once); what is not a disk file is refused by its kind before any read.
// Others may go on writing, renaming or deleting the file while it is read.
InputFile::InputFile(const std::filesystem::path& path)
    : m_handle(reinterpret_cast<std::intptr_t>(CreateFileW(
          path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN,
          nullptr))) {}

InputFile::~InputFile() {
    if (IsOpen()) {
        CloseHandle(AsHandle(m_handle));
    }
}

bool InputFile::IsOpen() const {
    return AsHandle(m_handle) != INVALID_HANDLE_VALUE;
}

bool InputFile::Examine(FileKind& kind, std::uint64_t& size) const {
    if (!IsOpen()) {
        return false;
    }
    size = 0;
    if (GetFileType(AsHandle(m_handle)) != FILE_TYPE_DISK) {
        kind = FileKind::Other;
        return true;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(AsHandle(m_handle), &info)) {
        return false;
    }
    kind = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::Directory
                                                                   : FileKind::Regular;
    size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    return true;
}

long long InputFile::Read(char* buffer, std::size_t size) {
    const auto want = static_cast<DWORD>(std::min<std::size_t>(size, DWORD{1} << 30));
    DWORD got = 0;
    if (!ReadFile(AsHandle(m_handle), buffer, want, &got, nullptr)) {
        return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    }
    return got;
}

}  // namespace mofeng::runtime::platform
