#pragma once

#include <filesystem>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace mofeng::test {

// A FIFO is a file that is not a regular one and blocks a writer until a
// reader comes. Windows has none in its file system (its pipes live under
// \\.\pipe\), so tests of refusing one run on POSIX systems only.
#ifdef _WIN32
inline constexpr bool kFileSystemHasFifos = false;
#else
inline constexpr bool kFileSystemHasFifos = true;
#endif

inline bool MakeFifo([[maybe_unused]] const std::filesystem::path& path) {
#ifdef _WIN32
    return false;
#else
    return ::mkfifo(path.c_str(), 0600) == 0;
#endif
}

}  // namespace mofeng::test
