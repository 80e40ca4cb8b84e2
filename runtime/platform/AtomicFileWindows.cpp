#include "runtime/AtomicFile.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <string>

#include "runtime/PathText.h"
#include "runtime/platform/AtomicReplace.h"
#include "runtime/platform/UniqueFile.h"

namespace mofeng::runtime {
namespace {

class FileDevice final : public OutputDevice {
public:
    explicit FileDevice(HANDLE file) : m_file(file) {}
    bool Write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const auto want = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
            DWORD written = 0;
            if (!WriteFile(m_file, bytes.data(), want, &written, nullptr) || written == 0) {
                return false;
            }
            bytes.remove_prefix(written);
        }
        return true;
    }

private:
    HANDLE m_file;
};

}  // namespace

bool IsAbsentOrRegularFile(const std::filesystem::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    if ((attributes &
         (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) != 0) {
        return false;
    }
    // Device names (NUL, CON, COM1) carry ordinary attributes: only a disk
    // file counts. No access is asked for, so opening waits on nothing.
    const HANDLE file = CreateFileW(
        path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool disk = GetFileType(file) == FILE_TYPE_DISK;
    CloseHandle(file);
    return disk;
}

bool WriteFileAtomically(const std::filesystem::path& target,
                         const std::function<bool(OutputDevice&)>& produce,
                         const DeviceWrapper& wrap) {
    if (target.empty() || !target.has_filename() || !IsAbsentOrRegularFile(target)) {
        return false;
    }
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    const std::filesystem::path temporary =
        platform::CreateUniqueFile(folder, "." + PathToUtf8(target.filename()) + ".");
    if (temporary.empty()) {
        return false;
    }
    // Nobody else may open the temporary file while it is written.
    const HANDLE handle = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr,
                                      TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    bool ok = handle != INVALID_HANDLE_VALUE;
    if (ok) {
        FileDevice file(handle);
        {
            std::unique_ptr<OutputDevice> wrapped = wrap ? wrap(file) : nullptr;
            ok = produce(wrapped ? *wrapped : static_cast<OutputDevice&>(file));
        }
        ok = ok && FlushFileBuffers(handle);
        ok = CloseHandle(handle) && ok;
    }
    // Checked again just before the replace: something else may have appeared meanwhile.
    ok = ok && IsAbsentOrRegularFile(target) && platform::ReplaceWithFile(temporary, target);
    if (!ok) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace mofeng::runtime
