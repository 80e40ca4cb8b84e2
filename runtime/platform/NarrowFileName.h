#pragma once

#include <filesystem>
#include <optional>
#include <string>

// A name of an existing file that C's fopen opens, for libraries that take
// only narrow names: the native name on POSIX systems. On Windows, where
// narrow names are in the ANSI code page, the name in that code page when
// it holds every character, else the file's 8.3 short name; nullopt when
// neither can name it (short names turned off on its volume). Any thread.
namespace mofeng::runtime::platform {

std::optional<std::string> NarrowFileName(const std::filesystem::path& path);

}  // namespace mofeng::runtime::platform
