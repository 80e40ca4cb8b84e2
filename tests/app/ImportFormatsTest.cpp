#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include "app/KeywordImport.h"
#include "app/KeywordListColumns.h"
#include "app/SpreadsheetExport.h"
#include "runtime/CodePage.h"
#include "runtime/MemoryTable.h"

namespace mofeng::app {
namespace {

namespace fs = std::filesystem;
using runtime::Utf8ToGbk;

// A file with a chosen name in a folder of its own, removed with the folder.
class NamedFile final {
public:
    NamedFile(const std::string& name, std::string_view bytes) {
        static int counter = 0;
        m_folder = fs::temp_directory_path() / ("mofeng-formats-" + std::to_string(::getpid()) +
                                                "-" + std::to_string(++counter));
        fs::create_directories(m_folder);
        m_path = m_folder / name;
        std::ofstream(m_path, std::ios::binary).write(bytes.data(), std::ssize(bytes));
    }
    ~NamedFile() { fs::remove_all(m_folder, m_ignored); }
    NamedFile(const NamedFile&) = delete;
    NamedFile& operator=(const NamedFile&) = delete;
    const fs::path& Path() const { return m_path; }
    const fs::path& Folder() const { return m_folder; }

private:
    fs::path m_folder;
    fs::path m_path;
    std::error_code m_ignored;
};

runtime::MemoryTable MainList() {
    return runtime::MemoryTable(KeywordListColumns());
}

std::vector<std::string> KeywordsOf(runtime::MemoryTable& table) {
    std::vector<std::string> keywords;
    int number = 0;
    for (const runtime::Row& row : table.Rows()) {
        EXPECT_EQ(row[0], std::to_string(++number));
        keywords.push_back(runtime::GbkToUtf8(row[1]));
    }
    return keywords;
}

struct FormatCase {
    const char* name;
    std::string fileName;
    std::string bytes;
    std::vector<std::string> keywords;  // UTF-8
};
void PrintTo(const FormatCase& c, std::ostream* out) {
    *out << c.name;
}

class ImportFormats : public testing::TestWithParam<FormatCase> {};

TEST_P(ImportFormats, KeywordsComeFromTheRightColumn) {
    const FormatCase& c = GetParam();
    NamedFile file(c.fileName, c.bytes);
    auto table = MainList();
    const ImportResult result = ImportKeywordFile(file.Path(), table, 1, true);
    EXPECT_TRUE(result.opened);
    EXPECT_EQ(KeywordsOf(table), c.keywords);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ImportFormats,
    testing::Values(
        FormatCase{"CsvQuotedFields",
                   "k.csv",
                   "\"a,b\",x\r\n\"line\nbreak\",y\r\n\"say \"\"hi\"\"\",z\r\n",
                   {"a,b", "line\nbreak", "say \"hi\""}},
        FormatCase{"CsvCaptionNotFirst",
                   "k.CSV",
                   "\xEF\xBB\xBF"
                   "序号,关键词,宝贝数量\n1,连衣裙,5\n2,\"女装,夏\",7\n\n",
                   {"连衣裙", "女装,夏"}},
        FormatCase{"CsvGbk", "k.csv", Utf8ToGbk("关键词\n女装\n小\n"), {"女装", "小"}},
        FormatCase{"CsvWithoutCaptionStartsAtFirstRecord", "k.csv", "a,1\nb,2", {"a", "b"}},
        FormatCase{"CsvRowsWithoutKeywordAreSkipped", "k.csv", "x,关键词\nonly\n,b\n", {"b"}},
        FormatCase{"Tsv", "k.tsv", "关键词\tn\n\"a\tb\"\t1\nc\t2\n", {"a\tb", "c"}},
        // Anything else is a plain keyword file: commas and tabs stay inside the keyword.
        FormatCase{"TxtKeepsCommasAndTabs", "k.txt", "a,b\nc\td\n", {"a,b", "c\td"}},
        FormatCase{"CsvNulEndsData", "k.csv", std::string("a\nb\0c\n", 6), {"a", "b"}}),
    [](const testing::TestParamInfo<FormatCase>& info) { return info.param.name; });

TEST(ImportFormats, OwnSpreadsheetComesBackWithEveryColumn) {
    auto exported = MainList();
    exported.AppendRows({{"1", Utf8ToGbk("连衣裙"), "120", "35", "30", "  --", "4", "0.5"},
                         {"2", "<b>&amp;", "", "", "", "", "", ""},
                         {"3", Utf8ToGbk("小米"), "9", "1", "2", Utf8ToGbk("↑"), "4.5", "-1"}});
    std::vector<int> rows(3);
    std::iota(rows.begin(), rows.end(), 0);
    // Recognised by its content, whatever the name.
    NamedFile file("sheet.dat",
                   BuildSpreadsheetDocument(exported, rows, InitialWidths(KeywordListColumns())));

    auto table = MainList();
    ASSERT_EQ(ImportKeywordFile(file.Path(), table, 1, true).rowsAdded, 3);
    EXPECT_EQ(table.Rows(), exported.Rows());
}

// openpyxl from Debian's packages is the independent writer of the workbook.
bool WriteWorkbookWithOpenpyxl(const fs::path& path, const std::string& rowsLiteral) {
    const fs::path script = path.parent_path() / "make.py";
    std::ofstream(script) << "import openpyxl\n"
                             "wb = openpyxl.Workbook()\n"
                             "ws = wb.active\n"
                             "for row in "
                          << rowsLiteral
                          << ":\n"
                             "    ws.append(row)\n"
                             "other = wb.create_sheet('second')\n"
                             "other.append(['not', 'read'])\n"
                             "wb.save(r'"
                          << path.string() << "')\n";
    return std::system(("/usr/bin/python3 " + script.string()).c_str()) == 0;
}

TEST(ImportFormats, WorkbookFromARealSpreadsheetWriter) {
    NamedFile folder("unused", "");
    const fs::path path = folder.Folder() / "list.txt";  // content decides, not the name
    ASSERT_TRUE(WriteWorkbookWithOpenpyxl(
        path,
        "[['序号', '关键词', '宝贝数量'], [1, '连衣裙', 120], [2, 'a,b \"q\"', 3.5],"
        " [3, 2026, None], [4, None, 1], [5, '童装', 0]]"));
    auto table = MainList();
    const ImportResult result = ImportKeywordFile(path, table, 1, true);
    EXPECT_TRUE(result.opened);
    EXPECT_EQ(KeywordsOf(table), (std::vector<std::string>{"连衣裙", "a,b \"q\"", "2026", "童装"}));

    ASSERT_TRUE(WriteWorkbookWithOpenpyxl(path, "[['女装'], ['小', 'x']]"));
    auto second = MainList();
    ImportKeywordFile(path, second, 1, true);
    EXPECT_EQ(KeywordsOf(second), (std::vector<std::string>{"女装", "小"}));
}

TEST(ImportFormats, BrokenWorkbookIsRefusedWithAReason) {
    NamedFile file("broken.xlsx", "PK\x03\x04 not really a zip");
    auto table = MainList();
    const ImportResult result = ImportKeywordFile(file.Path(), table, 1, true);
    EXPECT_EQ(result.problem, ImportProblem::NotText);
    EXPECT_EQ(table.RowCount(), 0);
}

}  // namespace
}  // namespace mofeng::app
