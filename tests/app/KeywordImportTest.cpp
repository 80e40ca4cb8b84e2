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

const std::string kGbkWord = "\xB9\xD8\xBC\xFC\xB4\xCA";               // 关键词 in GBK
const std::string kUtf8Word = "\xE5\x85\xB3\xE9\x94\xAE\xE8\xAF\x8D";  // 关键词 in UTF-8

runtime::MemoryTable MakeTable() {
    return runtime::MemoryTable({{"No", 55}, {"Keyword", 160}, {"Count", 100}});
}

// Byte order mark and code units of a UTF-16 file.
std::string Utf16File(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

struct LineCase {
    const char* name;
    std::string file;
    std::vector<std::string> keywords;
};
void PrintTo(const LineCase& c, std::ostream* out) {
    *out << c.name;
}

class ImportLines : public testing::TestWithParam<LineCase> {};

TEST_P(ImportLines, OneNumberedRowPerLine) {
    TempFile file(GetParam().file);
    auto table = MakeTable();
    const ImportResult result = ImportKeywordFile(file.Path(), table, 1, true);

    const auto& keywords = GetParam().keywords;
    EXPECT_TRUE(result.opened);
    EXPECT_EQ(result.rowsAdded, std::ssize(keywords));
    EXPECT_EQ(table.ColumnTexts(1), keywords);
    std::vector<std::string> numbers;
    for (std::size_t i = 1; i <= keywords.size(); ++i) {
        numbers.push_back(std::to_string(i));
    }
    EXPECT_EQ(table.ColumnTexts(0), numbers);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ImportLines,
    testing::Values(
        LineCase{"CrLf", "a\r\nb\r\n", {"a", "b"}},
        LineCase{"EmptyLineKept", "a\n\nb", {"a", "", "b"}},
        LineCase{"CrOnlyIsOneLine", "a\rb\r", {"a\rb"}},
        LineCase{"OnlyOneCrDropped", "a\r\r\n", {"a\r"}},
        LineCase{"SpacesTabsAndDuplicatesKept", " a \t\r\n a \t", {" a \t", " a \t"}},
        LineCase{"SubEndsData",
                 "a\x1A"
                 "b\n",
                 {"a"}},
        LineCase{"NulEndsData", "a\nb\0c\nd"s, {"a", "b"}}, LineCase{"EmptyFile", "", {}},
        LineCase{"LongLine", std::string(2000, 'k') + "\r\nb", {std::string(2000, 'k'), "b"}},
        // GBK is not UTF-8 and stays byte for byte; trail bytes "\" and "|" are no separators.
        LineCase{"GbkKept", kGbkWord + "\r\n\x81\x5C\x81\x7C", {kGbkWord, "\x81\x5C\x81\x7C"}},
        // A lone lead byte is kept and never swallows the line end after it.
        LineCase{"LeadByteLast", "ab\xB0", {"ab\xB0"}},
        LineCase{"LeadByteBeforeFinalLf", "ab\xB0\n", {"ab\xB0"}},
        LineCase{"LeadByteBeforeLf", "ab\xB0\ncd\xB0\r\n", {"ab\xB0", "cd\xB0"}},
        LineCase{"LeadByteBeforeNul", "ab\xB0\0cd"s, {"ab\xB0"}},
        LineCase{"LeadByteBeforeSub", "ab\xB0\x1A\ncd", {"ab\xB0"}},
        LineCase{"Utf8", kUtf8Word + "\r\nabc", {kGbkWord, "abc"}},
        LineCase{"Utf8WithMark", "\xEF\xBB\xBF" + kUtf8Word + "\nx", {kGbkWord, "x"}},
        // Unconverted, the NUL bytes of UTF-16 would end the data.
        LineCase{"Utf16Le", Utf16File(u"\u5173\u952E\u8BCD\r\nab", false), {kGbkWord, "ab"}},
        LineCase{"Utf16Be", Utf16File(u"ab\n\u5173\u952E\u8BCD\n", true), {"ab", kGbkWord}}),
    [](const testing::TestParamInfo<LineCase>& info) { return info.param.name; });

TEST(KeywordImport, NumberingRestartsWithEveryImportAndKeepsExistingRows) {
    TempFile file("a\nb\n");
    auto table = MakeTable();
    table.AppendRows({{"7", "old"}});
    ImportKeywordFile(file.Path(), table, 1, true);
    ImportKeywordFile(file.Path(), table, 1, false);
    const std::vector<runtime::Row> expected = {
        {"7", "old", ""}, {"1", "a", ""}, {"2", "b", ""}, {"", "a", ""}, {"", "b", ""}};
    EXPECT_EQ(table.Rows(), expected);
}

TEST(KeywordImport, UnreadablePathAddsNothing) {
    TempFile missing;
    auto table = MakeTable();
    for (const auto& path : {missing.Path(), std::filesystem::temp_directory_path()}) {
        const ImportResult result = ImportKeywordFile(path, table, 1, true);
        EXPECT_FALSE(result.opened) << path;
        EXPECT_EQ(result.rowsAdded, 0);
    }
    EXPECT_EQ(table.RowCount(), 0);
}

// Records how rows arrive; can raise a cancel token on the first append.
class RecordingTable final : public runtime::Table {
public:
    explicit RecordingTable(runtime::Table& inner) : m_inner(inner) {}
    std::vector<std::size_t> appendSizes;
    int cellWrites = 0;
    runtime::CancelToken* cancelOnAppend = nullptr;

    int AppendRows(std::vector<runtime::Row> rows) override {
        appendSizes.push_back(rows.size());
        if (cancelOnAppend != nullptr) {
            cancelOnAppend->Cancel();
        }
        return m_inner.AppendRows(std::move(rows));
    }
    void SetCell(int r, int c, std::string t) override { ++cellWrites, m_inner.SetCell(r, c, t); }
    int RowCount() override { return m_inner.RowCount(); }
    int ColumnCount() override { return m_inner.ColumnCount(); }
    std::string GetCell(int r, int c) override { return m_inner.GetCell(r, c); }
    int FindRow(std::string_view t, int c) override { return m_inner.FindRow(t, c); }
    void Clear() override { m_inner.Clear(); }
    std::string ColumnTitle(int c) override { return m_inner.ColumnTitle(c); }
    std::vector<std::string> ColumnTexts(int c) override { return m_inner.ColumnTexts(c); }
    void ReorderRows(const std::vector<int>& o) override { m_inner.ReorderRows(o); }
    std::vector<runtime::RowId> RowIds() override { return m_inner.RowIds(); }
    std::optional<std::string> GetCellById(runtime::RowId id, int c) override {
        return m_inner.GetCellById(id, c);
    }
    bool SetCellsById(runtime::RowId id, int c, std::vector<std::string> t) override {
        return m_inner.SetCellsById(id, c, std::move(t));
    }

private:
    runtime::Table& m_inner;
};

std::string ManyLines(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i) {
        text += "kw" + std::to_string(i) + "\r\n";
    }
    return text;
}

TEST(KeywordImport, AppendsInBoundedBatchesWithoutCellWrites) {
    TempFile file(ManyLines(10'000));
    auto memory = MakeTable();
    RecordingTable table(memory);

    EXPECT_EQ(ImportKeywordFile(file.Path(), table, 1, true).rowsAdded, 10'000);
    EXPECT_EQ(table.cellWrites, 0);
    EXPECT_GE(table.appendSizes.size(), 3u);
    std::size_t total = 0;
    for (std::size_t size : table.appendSizes) {
        EXPECT_TRUE(size > 0 && size <= kImportBatchRows) << size;
        total += size;
    }
    EXPECT_EQ(total, 10'000u);
    EXPECT_EQ(memory.Rows().back(), (runtime::Row{"10000", "kw10000", ""}));
}

TEST(KeywordImport, CancelStopsAndKeepsAppendedRows) {
    TempFile file(ManyLines(20'000));
    auto memory = MakeTable();
    RecordingTable table(memory);
    runtime::CancelToken cancel;
    table.cancelOnAppend = &cancel;

    const ImportResult result = ImportKeywordFile(file.Path(), table, 1, true, &cancel);

    EXPECT_TRUE(result.opened);
    EXPECT_EQ(table.appendSizes.size(), 1u);
    EXPECT_EQ(result.rowsAdded, memory.RowCount());
    EXPECT_TRUE(result.rowsAdded > 0 && result.rowsAdded < 20'000) << result.rowsAdded;
}

}  // namespace
}  // namespace mofeng::app
