#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "mining/KeywordExport.h"
#include "mining/MiningCommands.h"
#include "mining/MiningList.h"
#include "runtime/CodePage.h"
#include "runtime/MemoryTable.h"

namespace mofeng::mining {
namespace {

namespace fs = std::filesystem;
using runtime::Utf8ToGbk;

class KeywordExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("mofeng-export-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    static std::string ReadAll(const fs::path& path) {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), {}};
    }

    void AddKeywords(const std::vector<std::string>& utf8) {
        std::vector<runtime::Row> rows;
        for (std::size_t i = 0; i < utf8.size(); ++i) {
            rows.push_back({std::to_string(i + 1), Utf8ToGbk(utf8[i])});
        }
        list.AppendRows(std::move(rows));
    }

    fs::path m_dir;
    runtime::MemoryTable list{MiningListColumns()};
};

TEST_F(KeywordExportTest, FileNameComesFromTheSeedOrNotAtAll) {
    struct Case {
        std::string seed;  // GBK
        std::string name;  // UTF-8; empty: refused
    };
    const Case cases[] = {
        {Utf8ToGbk("连衣裙"), "连衣裙_关键词.txt"},
        {"", "_关键词.txt"},
        {"a b.c", "a b.c_关键词.txt"},
        {"con x", "con x_关键词.txt"},
        // 乗 (0x81 0x5C) has a backslash as its trail byte: still one name.
        {"\x81\x5C", "乗_关键词.txt"},
        {"a/b", ""},
        {"a\\b", ""},
        {"..", ""},
        {"x..y", ""},
        {"C:", ""},
        {"CON", ""},
        {"nul.txt", ""},
        {"Com1 .x", ""},
        {"lpt9", ""},
        {"a|b", ""},
        {"a*", ""},
        {"why?", ""},
        {"<b>", ""},
        {"\"q\"", ""},
        {"tab\there", ""},
        {"del\x7F", ""},
        {"\xFF\xFF", ""},  // not GBK
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExportFileName(c.seed), c.name) << runtime::GbkToUtf8(c.seed);
    }
}

TEST_F(KeywordExportTest, WritesGbkKeywordsEachEndedByCrLf) {
    AddKeywords({"连衣裙", "a b", ""});
    ASSERT_TRUE(ExportKeywords(m_dir, Utf8ToGbk("连衣裙"), list));
    EXPECT_EQ(ReadAll(m_dir / "连衣裙_关键词.txt"), Utf8ToGbk("连衣裙") + "\r\na b\r\n\r\n");

    // An existing longer file is truncated; an empty list gives an empty file.
    list.Clear();
    ASSERT_TRUE(ExportKeywords(m_dir, Utf8ToGbk("连衣裙"), list));
    EXPECT_EQ(ReadAll(m_dir / "连衣裙_关键词.txt"), "");
}

TEST_F(KeywordExportTest, RefusedSeedsAndUnwritablePlacesWriteNothing) {
    AddKeywords({"裙"});
    fs::create_directories(m_dir / "sub");
    EXPECT_FALSE(ExportKeywords(m_dir / "sub", "../escape", list));
    EXPECT_FALSE(ExportKeywords(m_dir / "missing", "x", list));
    EXPECT_FALSE(ExportKeywords({}, "x", list));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);
    EXPECT_TRUE(fs::is_empty(m_dir / "sub"));

    // A symbolic link in the run directory is not followed.
    const fs::path outside = m_dir / "outside.txt";
    std::ofstream(outside) << "keep";
    fs::create_symlink(outside, m_dir / "sub" / "s_关键词.txt");
    EXPECT_FALSE(ExportKeywords(m_dir / "sub", "s", list));
    EXPECT_EQ(ReadAll(outside), "keep");
}

TEST_F(KeywordExportTest, FileLockedByAnotherWriterIsLeftIntact) {
    const fs::path path = m_dir / "k_关键词.txt";
    std::ofstream(path) << "old";
    const int fd = ::open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    AddKeywords({"new"});
    EXPECT_FALSE(ExportKeywords(m_dir, "k", list));
    EXPECT_EQ(ReadAll(path), "old");
    ::close(fd);
    EXPECT_TRUE(ExportKeywords(m_dir, "k", list));
    EXPECT_EQ(ReadAll(path), "new\r\n");
}

TEST_F(KeywordExportTest, SendingAppendsKeywordsOnlyWithoutDuplicateCheck) {
    runtime::MemoryTable main({{"a", 1}, {"b", 1}, {"c", 1}, {"d", 1}});
    for (int i = 0; i < 5; ++i) {
        main.AppendRows({{std::to_string(i + 1), "k" + std::to_string(i), "9", "9"}});
    }
    AddKeywords({"x", "k0", "y"});
    EXPECT_EQ(SendKeywords(list, main), 3);
    EXPECT_EQ(SendKeywords(list, main), 3);
    const std::vector<runtime::Row> rows = main.Rows();
    ASSERT_EQ(rows.size(), 11u);
    const std::vector<std::string> sent = {"x", "k0", "y", "x", "k0", "y"};
    for (std::size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(rows[5 + i], (runtime::Row{"", sent[i], "", ""}));
    }
    EXPECT_EQ(list.RowCount(), 3);
    runtime::MemoryTable empty(MiningListColumns());
    EXPECT_EQ(SendKeywords(empty, main), 0);
}

TEST_F(KeywordExportTest, MustContainHoldsAtMostTwoBytes) {
    for (const char* ok : {"", "a", "ab", "裙"}) {
        EXPECT_FALSE(IsMustContainTooLong(Utf8ToGbk(ok))) << ok;
    }
    for (const char* tooLong : {"abc", "裙a", "连衣"}) {
        EXPECT_TRUE(IsMustContainTooLong(Utf8ToGbk(tooLong))) << tooLong;
    }
}

}  // namespace
}  // namespace mofeng::mining
