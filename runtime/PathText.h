#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace mofeng::runtime {

// File names as UTF-8 text, the same on every system. A path built from a
// plain std::string is read in the ANSI code page on Windows, which cannot
// hold every name (a keyword in a file name); these never lose a character.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string PathToUtf8(const std::filesystem::path& path);

}  // namespace mofeng::runtime
