#pragma once

#include <QString>

#include <filesystem>

namespace mofeng::ui {

// A file name from Qt (a dialog, a setting, a standard folder) as the path the
// core opens. Made from UTF-16, so a Chinese name is the same file everywhere:
// UTF-16 names on Windows, UTF-8 ones on Linux. (The local 8-bit encoding
// is the ANSI code page on Windows, which the C++ library does not read back.)
std::filesystem::path ToFilePath(const QString& name);

}  // namespace mofeng::ui
