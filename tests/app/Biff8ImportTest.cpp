#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BiffWorkbookFile.h"
#include "app/Biff8Reader.h"
#include "app/KeywordImport.h"
#include "runtime/CodePage.h"

// Chinese workbooks of seller tools, read from files with Chinese names:
// on Windows the reader opens them by a narrow name, and their texts pass
// through the code-page converters.
namespace mofeng::app {
namespace {

namespace fs = std::filesystem;
using runtime::Utf8ToGbk;
using test::BiffSheet;

// A folder of its own under the temporary folder, removed at the end.
class TempFolder final {
public:
    TempFolder()
        : m_path(fs::temp_directory_path() /
                 ("mofeng-biff-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
        fs::create_directories(m_path);
    }
    ~TempFolder() { fs::remove_all(m_path, m_ignored); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& Path() const { return m_path; }
    fs::path Write(const std::string& utf8Name, const std::string& bytes) const {
        const fs::path path = m_path / fs::u8path(utf8Name);
        std::ofstream(path, std::ios::binary).write(bytes.data(), std::ssize(bytes));
        return path;
    }

private:
    fs::path m_path;
    std::error_code m_ignored;
};

// A caption row and 300 keywords with their popularity: enough records for
// a stream of its own in the compound file.
std::vector<std::vector<std::string>> SellerRows(bool gbk) {
    const auto text = [gbk](const std::string& utf8) { return gbk ? Utf8ToGbk(utf8) : utf8; };
    std::vector<std::vector<std::string>> rows = {{text("关键词"), text("搜索人气")}};
    for (int i = 1; i <= 300; ++i) {
        rows.push_back({text("夏季连衣裙" + std::to_string(i)), std::to_string(1000 + i)});
    }
    return rows;
}

ImportResult ImportAll(const fs::path& path, std::vector<std::string>& keywords) {
    return ImportKeywordFile(
        path,
        [&keywords](std::vector<runtime::Row> rows) {
            for (const runtime::Row& row : rows) {
                keywords.push_back(row.size() > 1 ? row[1] : std::string());
            }
            return true;
        },
        1, true);
}

void ExpectSellerSheet(const std::optional<Workbook>& workbook, Biff8Problem problem,
                       const std::string& utf8SheetName) {
    ASSERT_EQ(problem, Biff8Problem::None);
    ASSERT_TRUE(workbook);
    ASSERT_EQ(workbook->sheets.size(), 1u);
    const Sheet& sheet = workbook->sheets[0];
    EXPECT_EQ(sheet.name, Utf8ToGbk(utf8SheetName));
    ASSERT_EQ(sheet.rows.size(), 301u);
    EXPECT_EQ(sheet.rows[0], (SheetRow{Utf8ToGbk("关键词"), Utf8ToGbk("搜索人气")}));
    EXPECT_EQ(sheet.rows[300], (SheetRow{Utf8ToGbk("夏季连衣裙300"), "1300"}));
}

// One name the Chinese code page holds, one it cannot (Hangul): on Windows
// the second is opened by its short name.
TEST(Biff8Import, ChineseWorkbookUnderAChineseNameIsRead) {
    if (!Biff8ReaderAvailable()) {
        GTEST_SKIP() << "this build reads no Excel 97-2003 workbooks";
    }
    const TempFolder folder;
    const std::string bytes = test::Biff8WorkbookFile({{"关键词表", SellerRows(false)}}, 936);
    for (const std::string name : {"卖家关键词.xls", "판매 关键词 2024.xls"}) {
        SCOPED_TRACE(name);
        const fs::path path = folder.Write(name, bytes);
        Biff8Problem problem = Biff8Problem::Unreadable;
        const std::optional<Workbook> workbook = ReadBiff8Workbook(path, problem);
        ExpectSellerSheet(workbook, problem, "关键词表");

        std::vector<std::string> keywords;
        const ImportResult result = ImportAll(path, keywords);
        EXPECT_EQ(result.problem, ImportProblem::None);
        EXPECT_EQ(result.rowsAdded, 300);
        ASSERT_EQ(keywords.size(), 300u);
        EXPECT_EQ(keywords.front(), Utf8ToGbk("夏季连衣裙1"));
    }
}

// A workbook an office suite saved (shared strings, numbers, a date, three
// sheets, one empty): under a Chinese name it reads as on every build.
TEST(Biff8Import, OfficeSuiteWorkbookReadsAlike) {
    if (!Biff8ReaderAvailable()) {
        GTEST_SKIP() << "this build reads no Excel 97-2003 workbooks";
    }
    const TempFolder folder;
    std::ifstream sample(MOFENG_BIFF8_SAMPLE, std::ios::binary);
    ASSERT_TRUE(sample) << MOFENG_BIFF8_SAMPLE;
    const fs::path path =
        folder.Write("生意参谋导出.xls", std::string(std::istreambuf_iterator<char>(sample), {}));
    Biff8Problem problem = Biff8Problem::Unreadable;
    const std::optional<Workbook> workbook = ReadBiff8Workbook(path, problem);
    ASSERT_EQ(problem, Biff8Problem::None);
    ASSERT_TRUE(workbook);
    std::vector<std::string> names;
    for (const Sheet& sheet : workbook->sheets) {
        names.push_back(runtime::GbkToUtf8(sheet.name));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"说明", "数据", "另一个"}));
    const std::vector<SheetRow>& rows = workbook->sheets[1].rows;
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[2], (SheetRow{Utf8ToGbk("序号"), Utf8ToGbk("搜索词"), Utf8ToGbk("搜索人气"),
                                 Utf8ToGbk("日期")}));
    EXPECT_EQ(rows[3], (SheetRow{"1", Utf8ToGbk("漢服"), "1200", "2024/5/1"}));
    EXPECT_EQ(rows[4], (SheetRow{"2", Utf8ToGbk("Nike〓运动鞋"), "0.5"}));

    std::vector<std::string> keywords;
    EXPECT_EQ(ImportAll(path, keywords).problem, ImportProblem::None);
    EXPECT_EQ(keywords,
              (std::vector<std::string>{Utf8ToGbk("漢服"), Utf8ToGbk("Nike〓运动鞋"), "45413"}));
}

// A file that has no narrow name (on Windows a missing one under a name the
// code page cannot hold has no short name either) is reported, not thrown.
TEST(Biff8Import, MissingWorkbookIsUnreadableWhateverItsName) {
    const TempFolder folder;
    for (const std::string name : {"gone.xls", "판매.xls", "卖家.xls"}) {
        SCOPED_TRACE(name);
        Biff8Problem problem = Biff8Problem::None;
        EXPECT_FALSE(ReadBiff8Workbook(folder.Path() / fs::u8path(name), problem));
        EXPECT_EQ(problem,
                  Biff8ReaderAvailable() ? Biff8Problem::Unreadable : Biff8Problem::Unavailable);
    }
}

// Excel 5.0/95 stores its texts in the workbook's code page (GBK here).
TEST(Biff8Import, WorkbookTextsInGbkAreConverted) {
    if (!Biff8ReaderAvailable()) {
        GTEST_SKIP() << "this build reads no Excel 97-2003 workbooks";
    }
    const TempFolder folder;
    const fs::path path = folder.Write(
        "旧版词表.xls", test::Biff5WorkbookFile({{Utf8ToGbk("词表"), SellerRows(true)}}, 936));
    Biff8Problem problem = Biff8Problem::Unreadable;
    const std::optional<Workbook> workbook = ReadBiff8Workbook(path, problem);
    ExpectSellerSheet(workbook, problem, "词表");

    // A cell that is no GBK (a lead byte before a space) is refused, not
    // turned into other characters.
    std::vector<std::vector<std::string>> broken = SellerRows(true);
    broken[5][0] = "\x81 ";
    const fs::path brokenPath =
        folder.Write("坏词表.xls", test::Biff5WorkbookFile({{"x", broken}}, 936));
    EXPECT_FALSE(ReadBiff8Workbook(brokenPath, problem));
    EXPECT_EQ(problem, Biff8Problem::Unreadable);
    std::vector<std::string> keywords;
    EXPECT_EQ(ImportAll(brokenPath, keywords).problem, ImportProblem::NotText);
    EXPECT_TRUE(keywords.empty());
}

}  // namespace
}  // namespace mofeng::app
