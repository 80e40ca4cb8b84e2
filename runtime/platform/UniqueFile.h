#pragma once

#include <filesystem>
#include <string_view>

// New files under names nobody else uses at the same time.
namespace mofeng::runtime::platform {

// Creates an empty file in folder named prefix (UTF-8) followed by six random
// characters (on POSIX systems readable and writable by its owner only),
// and returns its path; empty when none could be created.
std::filesystem::path CreateUniqueFile(const std::filesystem::path& folder,
                                       std::string_view prefix);

}  // namespace mofeng::runtime::platform
