#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// The file operations whose system calls differ between POSIX systems and
// Windows.
namespace mofeng::runtime::platform {

// Empty when the current user may write to path (a file or a folder), else
// the system's reason in English ("Permission denied").
std::string WriteAccessProblem(const std::filesystem::path& path);

// Writes a whole file that nobody else may use meanwhile (flock on POSIX
// systems, a share mode of 0 on Windows): creates path, or empties it once it is held exclusively
// (so a file in use is left intact), and writes bytes. False when it cannot be opened, is in use by
// someone else, is a symbolic link, or the write fails.
bool WriteFileExclusively(const std::filesystem::path& path, std::string_view bytes);

}  // namespace mofeng::runtime::platform
