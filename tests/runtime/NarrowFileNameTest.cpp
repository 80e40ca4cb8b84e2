#include "runtime/platform/NarrowFileName.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace mofeng::runtime::platform {
namespace {

namespace fs = std::filesystem;

// Whatever the name (one the Chinese code page holds, one that no ANSI code
// page holds), the narrow name opens the same file with C's fopen.
TEST(NarrowFileName, FopenOpensTheFileByIt) {
    const fs::path folder =
        fs::temp_directory_path() / ("mofeng-narrow-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    for (const std::string name : {"plain.txt", "卖家关键词.txt", "판매 关键词.txt"}) {
        SCOPED_TRACE(name);
        const fs::path path = folder / fs::u8path(name);
        std::ofstream(path, std::ios::binary) << name;
        const std::optional<std::string> narrow = NarrowFileName(path);
        ASSERT_TRUE(narrow);
        std::FILE* file = std::fopen(narrow->c_str(), "rb");
        ASSERT_NE(file, nullptr) << *narrow;
        std::string read(name.size() + 1, '\0');
        read.resize(std::fread(read.data(), 1, read.size(), file));
        std::fclose(file);
        EXPECT_EQ(read, name);
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

}  // namespace
}  // namespace mofeng::runtime::platform
