#pragma once

#include <filesystem>

// Putting a finished file in place of another in one step.
namespace mofeng::runtime::platform {

// Moves replacement (a closed file in target's folder) over target, whether
// or not target exists: afterwards target is either the old file or the
// whole replacement, never a mix or absent: rename(2) on POSIX systems;
// on Windows ReplaceFileW (which keeps target's attributes and security) or
// MoveFileExW with write-through, so the move is on disk when it returns.
// replacement is left in place when it fails.
bool ReplaceWithFile(const std::filesystem::path& replacement, const std::filesystem::path& target);

}  // namespace mofeng::runtime::platform
