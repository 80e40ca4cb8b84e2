#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/CellDisplayText.h"
#include "app/ClipboardText.h"
#include "app/CsvRecords.h"
#include "app/ExportFormats.h"
#include "app/KeywordListColumns.h"
#include "app/OwnXlsDocument.h"
#include "app/SpreadsheetExport.h"
#include "app/XlsxSheetReader.h"
#include "runtime/CodePage.h"
#include "runtime/MemoryTable.h"

namespace mofeng::app {
namespace {

namespace fs = std::filesystem;

TEST(CellDisplayText, NonFiniteFiguresReadAsTwoHyphensAndNothingElseChanges) {
    struct Case {
        int column;
        const char* stored;
        const char* shown;
    };
    const Case cases[] = {
        // The texts printf gives a non-finite slope or competition multiple.
        {6, "inf", "--"},
        {6, "-inf", "--"},
        {7, "nan", "--"},
        {7, "-nan", "--"},
        {7, "+inf", "--"},
        {2, "INF", "--"},
        {5, "Infinity", "--"},
        {3, "NaN", "--"},
        // Finite figures and look-alikes stay as stored.
        {7, "-0.0", "-0.0"},
        {6, "287568", "287568"},
        {7, "0.5", "0.5"},
        {5, "  --", "  --"},
        {6, "", ""},
        {6, "inff", "inff"},
        {6, "nan1", "nan1"},
        {6, " inf", " inf"},
        {6, "--inf", "--inf"},
        {6, "1e400", "1e400"},
        {6, "in", "in"},
        // Keyword, running number and stored-only cells are never figures.
        {1, "inf", "inf"},
        {1, "nan", "nan"},
        {0, "inf", "inf"},
        {8, "nan", "nan"},
        {-1, "inf", "inf"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CellDisplayText(c.column, c.stored), c.shown)
            << "column " << c.column << ": " << c.stored;
    }
}

const char* const kNonFinite[] = {"inf", "-inf", "nan", "-nan"};

// A list with one row per non-finite text, in the competition and the slope
// column, the keyword "nan" (a keyword, not a figure), and one finite row.
class NonFiniteExportTest : public testing::Test {
protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() / ("mofeng-cells-" + std::to_string(::getpid()));
        fs::create_directories(m_folder);
        m_table = std::make_unique<runtime::MemoryTable>(KeywordListStorageColumns());
        int number = 0;
        for (const char* text : kNonFinite) {
            m_table->AppendRows({{std::to_string(++number), "nan", "0", "12", "10", "2  \xA1\xFC",
                                  text, text, "", "", "12,0,10,10,10,10,12"}});
        }
        m_table->AppendRows({{"5", "a", "5000", "177", "135", "42  \xA1\xFC", "270", "0.5", "", "",
                              "100,110,121,133,146,161,177"}});
        for (int row = 0; row < m_table->RowCount(); ++row) {
            m_rows.push_back(row);
        }
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string Read(const fs::path& path) const {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    // The records after the captions.
    static std::vector<std::vector<std::string>> Records(const std::string& text, char separator) {
        std::vector<std::vector<std::string>> rows;
        CsvRecords records(text, separator);
        for (std::vector<std::string> fields; records.Next(fields);) {
            rows.push_back(fields);
        }
        if (!rows.empty()) {
            rows.erase(rows.begin());
        }
        return rows;
    }

    // Each exported row (GBK cells of the eight columns) as the check sees it.
    void ExpectShownRows(const std::vector<std::vector<std::string>>& rows,
                         const std::string& format) const {
        ASSERT_EQ(rows.size(), m_rows.size()) << format;
        for (std::size_t r = 0; r < std::size(kNonFinite); ++r) {
            SCOPED_TRACE(format + ", stored " + kNonFinite[r]);
            ASSERT_GE(rows[r].size(), 8u);
            EXPECT_EQ(rows[r][1], "nan");
            EXPECT_EQ(rows[r][6], "--");
            EXPECT_EQ(rows[r][7], "--");
        }
        const std::vector<std::string> finite = {"5",   "a",  "5000", "177", "135", "42  \xA1\xFC",
                                                 "270", "0.5"};
        EXPECT_EQ(std::vector<std::string>(rows.back().begin(), rows.back().begin() + 8), finite)
            << format;
    }

    fs::path m_folder;
    std::unique_ptr<runtime::MemoryTable> m_table;
    std::vector<int> m_rows;
};

// "--" read back from a workbook is a text cell: a number cannot read so.
TEST_F(NonFiniteExportTest, EveryFormatReadsBackTwoHyphensAsText) {
    {
        const fs::path path = m_folder / "list.xls";
        ASSERT_TRUE(ExportRows(path, *m_table, m_rows, InitialWidths(KeywordListColumns()),
                               kKeywordListColumnCount));
        ExpectShownRows(ReadOwnXlsRows(Read(path)), "xls");
    }
    {
        const fs::path path = m_folder / "list.csv";
        ASSERT_TRUE(ExportRows(path, *m_table, m_rows, InitialWidths(KeywordListColumns()),
                               kKeywordListColumnCount));
        ExpectShownRows(Records(runtime::Utf8ToGbk(Read(path).substr(3)), ','), "csv");
    }
    {
        const std::string copied = CopiedRowsText(*m_table, m_rows, kKeywordListColumnCount);
        ExpectShownRows(Records(copied, '\t'), "copy");
    }
    {
        const fs::path path = m_folder / "list.xlsx";
        ASSERT_TRUE(ExportRows(path, *m_table, m_rows, InitialWidths(KeywordListColumns()),
                               kKeywordListColumnCount));
        std::vector<std::vector<std::string>> rows;
        ASSERT_TRUE(ReadFirstXlsxSheet(Read(path), [&](SheetRow& row) {
            for (std::string& cell : row) {
                cell = runtime::Utf8ToGbk(cell);
            }
            rows.push_back(row);
            return true;
        }));
        rows.erase(rows.begin());  // the captions
        ExpectShownRows(rows, "xlsx");
    }
}

TEST(NonFiniteExport, XlsOfFiniteRowsKeepsItsBytes) {
    runtime::MemoryTable table(KeywordListColumns());
    table.AppendRows({{"1", "inf", "5000", "177", "135", "42  \xA1\xFC", "270", "0.5"},
                      {"2", "b", "0", "", "0", "0  --", "0", "-0.0"}});
    const std::string document =
        BuildSpreadsheetDocument(table, {0, 1}, InitialWidths(KeywordListColumns()));
    const std::string rows =
        "<tr height=19 style='mso-height-source:userset;height:14.25pt'> \r\n"
        "  <td height=19 style='height:14.25pt'>1</td>\r\n<td>inf</td>\r\n<td>5000</td>\r\n"
        "<td>177</td>\r\n<td>135</td>\r\n<td>42  \xA1\xFC</td>\r\n<td>270</td>\r\n"
        "<td>0.5</td>\r\n</tr>\r\n"
        "<tr height=19 style='mso-height-source:userset;height:14.25pt'> \r\n"
        "  <td height=19 style='height:14.25pt'>2</td>\r\n<td>b</td>\r\n<td>0</td>\r\n"
        "<td></td>\r\n<td>0</td>\r\n<td>0  --</td>\r\n<td>0</td>\r\n"
        "<td>-0.0</td>\r\n</tr>\r\n"
        " <![endif]>\r\n</table>\r\n</body>\r\n</html>";
    EXPECT_TRUE(document.ends_with("</tr>\r\n" + rows));
    EXPECT_TRUE(document.starts_with(XlsHeaderTemplate()));
}

}  // namespace
}  // namespace mofeng::app
