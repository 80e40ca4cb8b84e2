#pragma once

#include <filesystem>
#include <string>

// What a path names, found without opening it: a FIFO or device is never
// opened, so asking never blocks.
namespace mofeng::runtime::platform {

enum class FileKind { Missing, Regular, Directory, Other };

// Symbolic links are followed. Missing when path cannot be examined; then
// problem (when given) receives the system's reason in English ("No such
// file or directory").
FileKind KindOfFile(const std::filesystem::path& path, std::string* problem = nullptr);

}  // namespace mofeng::runtime::platform
