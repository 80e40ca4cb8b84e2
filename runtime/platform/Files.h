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
// The same for reading.
std::string ReadAccessProblem(const std::filesystem::path& path);

// True when another writer holds path open for writing (an flock on POSIX
// systems, an open handle without sharing on Windows). Never blocks; false for
// an absent file.
bool HeldByAnotherWriter(const std::filesystem::path& path);

}  // namespace mofeng::runtime::platform
