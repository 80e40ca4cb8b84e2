#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "mining/KeywordExport.h"
#include "mining/MiningCommands.h"
#include "mining/MiningList.h"
#include "runtime/CodePage.h"
#include "runtime/MemoryTable.h"

namespace mofeng::mining {
namespace {

namespace fs = std::filesystem;
using runtime::Utf8ToGbk;

std::string ReadAll(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

TEST(KeywordExport, FileNameComesFromTheSeedOrNotAtAll) {
    const std::pair<std::string, std::string> cases[] = {
        {Utf8ToGbk("连衣裙"), "连衣裙_关键词.txt"},
        {"", "_关键词.txt"},
        {"a b.c", "a b.c_关键词.txt"},
        {"con x", "con x_关键词.txt"},
        {"\x81\x5C", "乗_关键词.txt"},  // its trail byte is a backslash
        {"a/b", ""},
        {"a\\b", ""},
        {"..", ""},
        {"x..y", ""},
        {"C:", ""},
        {"CON", ""},
        {"nul.txt", ""},
        {"Com1 .x", ""},
        {"a|b", ""},
        {"why?", ""},
        {"<b>", ""},
        {"\"q\"", ""},
        {"a*", ""},
        {"tab\there", ""},
        {"del\x7F", ""},
        {"\xFF\xFF", ""},
    };
    for (const auto& [seed, name] : cases) {
        EXPECT_EQ(ExportFileName(seed), name) << runtime::GbkToUtf8(seed);
    }
}

TEST(KeywordExport, WritesOnlyPlainFilesInTheRunDirectory) {
    const fs::path dir =
        fs::temp_directory_path() / ("mofeng-export-" + std::to_string(::getpid()));
    fs::create_directories(dir / "sub");
    runtime::MemoryTable list(MiningListColumns());
    list.AppendRows({{"1", Utf8ToGbk("连衣裙")}, {"2", "a b"}, {"3", ""}});

    ASSERT_TRUE(ExportKeywords(dir, Utf8ToGbk("连衣裙"), list));
    EXPECT_EQ(ReadAll(dir / "连衣裙_关键词.txt"), Utf8ToGbk("连衣裙") + "\r\na b\r\n\r\n");

    // Refused seeds and missing folders write nothing.
    EXPECT_FALSE(ExportKeywords(dir / "sub", "../escape", list));
    EXPECT_FALSE(ExportKeywords(dir / "missing", "x", list));
    EXPECT_TRUE(fs::is_empty(dir / "sub"));

    // A symbolic link is not followed; a file another writer has locked is
    // left as it is.
    std::ofstream(dir / "outside.txt") << "keep";
    fs::create_symlink(dir / "outside.txt", dir / "sub" / "s_关键词.txt");
    EXPECT_FALSE(ExportKeywords(dir / "sub", "s", list));
    EXPECT_EQ(ReadAll(dir / "outside.txt"), "keep");
    const int fd = ::open((dir / "outside.txt").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    EXPECT_FALSE(WriteKeywordFile(dir / "outside.txt", "new"));
    EXPECT_EQ(ReadAll(dir / "outside.txt"), "keep");
    ::close(fd);

    // A FIFO at the target (nobody reading it) is refused at once instead of
    // blocking the window, and so is a device.
    ASSERT_EQ(::mkfifo((dir / "sub" / "p_关键词.txt").c_str(), 0600), 0);
    EXPECT_FALSE(ExportKeywords(dir / "sub", "p", list));
    EXPECT_FALSE(WriteKeywordFile("/dev/null", "x"));

    // A failed write leaves no temporary file behind.
    EXPECT_FALSE(WriteKeywordFile(dir / "missing" / "x.txt", "x"));

    // An existing longer file is replaced whole; an empty list gives an empty file.
    list.Clear();
    ASSERT_TRUE(ExportKeywords(dir, Utf8ToGbk("连衣裙"), list));
    EXPECT_EQ(ReadAll(dir / "连衣裙_关键词.txt"), "");
    fs::remove_all(dir);
}

TEST(KeywordExport, SendingAppendsKeywordsOnlyWithoutDuplicateCheck) {
    runtime::MemoryTable main({{"a", 1}, {"b", 1}, {"c", 1}});
    for (int i = 0; i < 5; ++i) {
        main.AppendRows({{std::to_string(i + 1), "k" + std::to_string(i), "9"}});
    }
    runtime::MemoryTable list(MiningListColumns());
    list.AppendRows({{"1", "x"}, {"2", "k0"}, {"3", "y"}});
    EXPECT_EQ(SendKeywords(list, main), 3);
    EXPECT_EQ(SendKeywords(list, main), 3);
    const std::vector<runtime::Row> rows = main.Rows();
    ASSERT_EQ(rows.size(), 11u);
    EXPECT_EQ(rows[5], (runtime::Row{"", "x", ""}));
    EXPECT_EQ(rows[9], (runtime::Row{"", "k0", ""}));
    EXPECT_EQ(list.RowCount(), 3);
}

TEST(KeywordExport, MustContainHoldsAtMostTwoBytes) {
    for (const char* text : {"", "a", "ab", "裙"}) {
        EXPECT_FALSE(IsMustContainTooLong(Utf8ToGbk(text))) << text;
    }
    for (const char* text : {"abc", "裙a", "连衣"}) {
        EXPECT_TRUE(IsMustContainTooLong(Utf8ToGbk(text))) << text;
    }
}

}  // namespace
}  // namespace mofeng::mining
