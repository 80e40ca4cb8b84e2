#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "TempFile.h"
#include "app/KeywordImport.h"
#include "runtime/MemoryTable.h"

namespace mofeng::app {
namespace {

using namespace std::string_literals;
using test::TempFile;

const std::string kGbkKeyword = "\xB9\xD8\xBC\xFC\xB4\xCA";               // 关键词 in GBK
const std::string kUtf8Keyword = "\xE5\x85\xB3\xE9\x94\xAE\xE8\xAF\x8D";  // 关键词 in UTF-8

runtime::MemoryTable MakeKeywordTable() {
    return runtime::MemoryTable({{"No", 55}, {"Keyword", 160}, {"Count", 100}});
}

std::vector<std::string> Keywords(runtime::MemoryTable& table) {
    return table.ColumnTexts(1);
}

std::string Utf16Le(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

std::string Utf16Be(std::u16string_view text) {
    std::string bytes = "\xFE\xFF";
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit >> 8);
        bytes += static_cast<char>(unit & 0xFF);
    }
    return bytes;
}

struct LineCase {
    const char* name;
    std::string file;
    std::vector<std::string> keywords;
};

void PrintTo(const LineCase& c, std::ostream* out) { *out << c.name; }

class ImportLines : public testing::TestWithParam<LineCase> {};

TEST_P(ImportLines, OneNumberedRowPerLine) {
    const LineCase& c = GetParam();
    TempFile file(c.file);
    auto table = MakeKeywordTable();

    const ImportResult result = ImportKeywordFile(file.Path(), table, 1, true);

    EXPECT_TRUE(result.opened);
    EXPECT_EQ(result.rowsAdded, static_cast<int>(c.keywords.size()));
    EXPECT_EQ(Keywords(table), c.keywords);
    std::vector<std::string> expectedNumbers;
    for (std::size_t i = 1; i <= c.keywords.size(); ++i) {
        expectedNumbers.push_back(std::to_string(i));
    }
    EXPECT_EQ(table.ColumnTexts(0), expectedNumbers);
    for (const std::string& other : table.ColumnTexts(2)) {
        EXPECT_EQ(other, "");
    }
}

const std::string kLongLine(2000, 'k');

INSTANTIATE_TEST_SUITE_P(
    LineEnds, ImportLines,
    testing::Values(
        LineCase{"CrLf", "a\r\nb\r\n", {"a", "b"}}, LineCase{"LfNoFinalEnd", "a\nb", {"a", "b"}},
        LineCase{"EmptyLineInBetween", "a\n\nb", {"a", "", "b"}},
        LineCase{"LoneLineFeed", "\n", {""}}, LineCase{"CrOnlyIsOneLine", "a\rb\r", {"a\rb"}},
        LineCase{"OnlyOneCrDropped", "a\r\r\n", {"a\r"}},
        LineCase{"SpacesAndTabsKept", " a b \t\r\n\tc ", {" a b \t", "\tc "}},
        LineCase{"SubEndsData",
                 "a\x1A"
                 "b",
                 {"a"}},
        LineCase{"SubAfterLineEnd", "a\n\x1A\nb", {"a"}},
        LineCase{"NulEndsData", "a\nb\0c\nd"s, {"a", "b"}}, LineCase{"EmptyFile", "", {}},
        LineCase{"SubFirst",
                 "\x1A"
                 "abc",
                 {}},
        LineCase{"DuplicatesKept", "x\nx\n", {"x", "x"}},
        LineCase{"LongLine", kLongLine + "\r\nb", {kLongLine, "b"}}),
    [](const testing::TestParamInfo<LineCase>& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    DoubleByteText, ImportLines,
    testing::Values(
        // GBK is not valid UTF-8 and is kept byte for byte.
        LineCase{"GbkKept",
                 kGbkKeyword + "\r\n" + kGbkKeyword + " 2",
                 {kGbkKeyword, kGbkKeyword + " 2"}},
        // A trail byte equal to a line end byte cannot happen; one that is "\" or "|" must stay.
        LineCase{"TrailBytesKept", "\x81\x5C\n\x81\x7C", {"\x81\x5C", "\x81\x7C"}},
        // A lone lead byte is kept and never swallows the line end after it.
        LineCase{"LeadByteLast", "ab\xB0", {"ab\xB0"}},
        LineCase{"LeadByteBeforeFinalLf", "ab\xB0\n", {"ab\xB0"}},
        LineCase{"LeadByteBeforeCrLf", "ab\xB0\r\ncd", {"ab\xB0", "cd"}},
        LineCase{"LeadByteBeforeLf", "ab\xB0\ncd", {"ab\xB0", "cd"}},
        LineCase{"LeadByteBeforeNul", "ab\xB0\0cd"s, {"ab\xB0"}},
        LineCase{"LeadByteBeforeSub", "ab\xB0\x1A\ncd", {"ab\xB0"}},
        LineCase{"Utf8WithoutMark", kUtf8Keyword + "\r\nabc\r\n", {kGbkKeyword, "abc"}},
        LineCase{"Utf8WithMark", "\xEF\xBB\xBF" + kUtf8Keyword + "\nx", {kGbkKeyword, "x"}},
        LineCase{"Utf8MarkAsciiOnly",
                 "\xEF\xBB\xBF"
                 "abc\n",
                 {"abc"}},
        // Without conversion the NUL bytes of UTF-16 would end the data.
        LineCase{"Utf16LittleEndian", Utf16Le(u"\u5173\u952E\u8BCD\r\nab"), {kGbkKeyword, "ab"}},
        LineCase{"Utf16BigEndian", Utf16Be(u"ab\n\u5173\u952E\u8BCD\n"), {"ab", kGbkKeyword}}),
    [](const testing::TestParamInfo<LineCase>& info) { return info.param.name; });

TEST(KeywordImport, NumberingRestartsWithEveryImportAndKeepsExistingRows) {
    TempFile file("a\nb\n");
    auto table = MakeKeywordTable();
    table.AppendRows({{"7", "old"}});

    EXPECT_EQ(ImportKeywordFile(file.Path(), table, 1, true).rowsAdded, 2);
    EXPECT_EQ(ImportKeywordFile(file.Path(), table, 1, true).rowsAdded, 2);

    const std::vector<runtime::Row> expected = {
        {"7", "old", ""}, {"1", "a", ""}, {"2", "b", ""}, {"1", "a", ""}, {"2", "b", ""}};
    EXPECT_EQ(table.Rows(), expected);
}

TEST(KeywordImport, UnnumberedLeavesColumnZeroEmpty) {
    TempFile file("a\nb");
    auto table = MakeKeywordTable();
    ImportKeywordFile(file.Path(), table, 1, false);
    EXPECT_EQ(table.ColumnTexts(0), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(Keywords(table), (std::vector<std::string>{"a", "b"}));
}

TEST(KeywordImport, UnreadablePathAddsNothing) {
    TempFile missing;
    auto table = MakeKeywordTable();
    for (const auto& path : {missing.Path(), std::filesystem::temp_directory_path()}) {
        const ImportResult result = ImportKeywordFile(path, table, 1, true);
        EXPECT_FALSE(result.opened) << path;
        EXPECT_EQ(result.rowsAdded, 0);
    }
    EXPECT_EQ(table.RowCount(), 0);
}

// Counts the calls that reach the table and can raise a cancel token on the
// first append.
class RecordingTable final : public runtime::Table {
public:
    explicit RecordingTable(runtime::Table& inner) : m_inner(inner) {}

    std::vector<std::size_t> appendSizes;
    int cellWrites = 0;
    runtime::CancelToken* cancelOnAppend = nullptr;

    int RowCount() override { return m_inner.RowCount(); }
    int ColumnCount() override { return m_inner.ColumnCount(); }
    std::string GetCell(int row, int column) override { return m_inner.GetCell(row, column); }
    void SetCell(int row, int column, std::string text) override {
        ++cellWrites;
        m_inner.SetCell(row, column, std::move(text));
    }
    int AppendRows(std::vector<runtime::Row> rows) override {
        appendSizes.push_back(rows.size());
        if (cancelOnAppend != nullptr) {
            cancelOnAppend->Cancel();
        }
        return m_inner.AppendRows(std::move(rows));
    }
    int FindRow(std::string_view text, int column) override {
        return m_inner.FindRow(text, column);
    }
    void Clear() override { m_inner.Clear(); }
    std::vector<int> SelectedRows() override { return m_inner.SelectedRows(); }
    std::string ColumnTitle(int column) override { return m_inner.ColumnTitle(column); }
    int ColumnWidth(int column) override { return m_inner.ColumnWidth(column); }
    std::vector<std::string> ColumnTexts(int column) override {
        return m_inner.ColumnTexts(column);
    }
    void ReorderRows(const std::vector<int>& order) override { m_inner.ReorderRows(order); }
    std::vector<runtime::RowId> RowIds() override { return m_inner.RowIds(); }
    std::optional<std::string> GetCellById(runtime::RowId id, int column) override {
        return m_inner.GetCellById(id, column);
    }
    bool SetCellsById(runtime::RowId id, int firstColumn, std::vector<std::string> texts) override {
        return m_inner.SetCellsById(id, firstColumn, std::move(texts));
    }

private:
    runtime::Table& m_inner;
};

std::string NumberedLines(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i) {
        text += "kw" + std::to_string(i) + "\r\n";
    }
    return text;
}

TEST(KeywordImport, AppendsInBoundedBatchesWithoutCellWrites) {
    TempFile file(NumberedLines(10'000));
    auto memory = MakeKeywordTable();
    RecordingTable table(memory);

    const ImportResult result = ImportKeywordFile(file.Path(), table, 1, true);

    EXPECT_EQ(result.rowsAdded, 10'000);
    EXPECT_EQ(table.cellWrites, 0);
    ASSERT_GE(table.appendSizes.size(), 3u);
    std::size_t total = 0;
    for (std::size_t size : table.appendSizes) {
        EXPECT_GT(size, 0u);
        EXPECT_LE(size, kImportBatchRows);
        total += size;
    }
    EXPECT_EQ(total, 10'000u);
    EXPECT_EQ(memory.GetCell(9'999, 0), "10000");
    EXPECT_EQ(memory.GetCell(9'999, 1), "kw10000");
}

TEST(KeywordImport, CancelStopsAndKeepsAppendedRows) {
    TempFile file(NumberedLines(20'000));
    auto memory = MakeKeywordTable();
    RecordingTable table(memory);
    runtime::CancelToken cancel;
    table.cancelOnAppend = &cancel;

    const ImportResult result = ImportKeywordFile(file.Path(), table, 1, true, &cancel);

    EXPECT_TRUE(result.opened);
    EXPECT_EQ(table.appendSizes.size(), 1u);
    EXPECT_EQ(result.rowsAdded, memory.RowCount());
    EXPECT_GT(result.rowsAdded, 0);
    EXPECT_LT(result.rowsAdded, 20'000);
    EXPECT_EQ(memory.GetCell(result.rowsAdded - 1, 0), std::to_string(result.rowsAdded));
}

TEST(KeywordImport, CancelRaisedBeforeStartAddsNothing) {
    TempFile file("a\nb\n");
    auto table = MakeKeywordTable();
    runtime::CancelToken cancel;
    cancel.Cancel();
    const ImportResult result = ImportKeywordFile(file.Path(), table, 1, true, &cancel);
    EXPECT_TRUE(result.opened);
    EXPECT_EQ(result.rowsAdded, 0);
    EXPECT_EQ(table.RowCount(), 0);
}

}  // namespace
}  // namespace mofeng::app
