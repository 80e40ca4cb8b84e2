#include "runtime/platform/AtomicReplace.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace mofeng::runtime::platform {

bool ReplaceWithFile(const std::filesystem::path& replacement,
                     const std::filesystem::path& target) {
    // ReplaceFileW keeps what belongs to the place rather than to the
    // content (attributes, security, creation time), as a rename keeps a
    // folder entry; it needs an existing target and has no write-through.
    if (ReplaceFileW(target.c_str(), replacement.c_str(), nullptr,
                     REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                     nullptr)) {
        const HANDLE replaced =
            CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (replaced != INVALID_HANDLE_VALUE) {  // the new entry on disk; best effort
            FlushFileBuffers(replaced);
            CloseHandle(replaced);
        }
        return true;
    }
    // An absent target, a file system without ReplaceFileW, or a failure
    // after ReplaceFileW took the old file away: the move puts the
    // replacement in place in one step.
    return MoveFileExW(replacement.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace mofeng::runtime::platform
