#include <gtest/gtest.h>
#include <zip.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TempFile.h"
#include "app/Biff8Reader.h"
#include "app/KeywordImport.h"
#include "app/KeywordListColumns.h"
#include "app/SheetCellText.h"
#include "app/SpreadsheetExport.h"
#include "app/Workbook.h"
#include "query/QueryRow.h"
#include "query/RowOutcome.h"
#include "runtime/CodePage.h"
#include "runtime/MemoryTable.h"

namespace mofeng::app {
namespace {

namespace fs = std::filesystem;
using runtime::GbkToUtf8;
using runtime::Utf8ToGbk;

Sheet SheetOf(const std::vector<std::vector<std::string>>& utf8Rows) {
    Sheet sheet;
    for (const auto& row : utf8Rows) {
        SheetRow& cells = sheet.rows.emplace_back();
        for (const std::string& cell : row) {
            cells.push_back(Utf8ToGbk(cell));
        }
    }
    return sheet;
}

TEST(SheetHeader, CaptionRowBelowNotesNamesTheColumns) {
    const SheetHeader header =
        DetectSheetHeader(SheetOf({{"生意参谋 2024-05-01 导出"},
                                   {},
                                   {"排名", " 词 ", "相关搜索词", "搜索人气"},
                                   {"1", "a", "b", "10"}}));
    EXPECT_EQ(header.row, 2);
    EXPECT_EQ(header.keywordColumn, 2);  // 相关搜索词 is looked for before 词
    EXPECT_EQ(header.ColumnOf(Utf8ToGbk("搜索人气")), 3);
    EXPECT_EQ(header.ColumnOf(Utf8ToGbk("词")), 1);  // blanks around a caption are dropped
    EXPECT_FALSE(header.ColumnOf(Utf8ToGbk("点击率")));

    // Past the first ten rows a caption is a keyword like any other.
    std::vector<std::vector<std::string>> late(10, {"x"});
    late.push_back({"关键词"});
    EXPECT_FALSE(DetectSheetHeader(SheetOf(late)).Found());
}

TEST(SheetHeader, WithoutCaptionsANumberingColumnIsPassedOver) {
    EXPECT_EQ(DetectSheetHeader(SheetOf({{"1", "女装"}, {"2", "童装"}, {"", ""}, {"3", "男装"}}))
                  .keywordColumn,
              1);
    EXPECT_EQ(DetectSheetHeader(SheetOf({{"", "7", "女装"}, {"", "8", ""}})).keywordColumn, 2);
    // Numbers that do not count up one by one are keywords (years, model numbers).
    EXPECT_EQ(DetectSheetHeader(SheetOf({{"2026", "x"}, {"2024", "y"}})).keywordColumn, 0);
}

TEST(SheetHeader, SheetWithAKeywordCaptionWinsThenAnyText) {
    Workbook workbook;
    workbook.sheets = {SheetOf({}), SheetOf({{"notes"}}), SheetOf({{"搜索词"}, {"a"}}),
                       SheetOf({{"关键词"}})};
    workbook.sheets[2].name = Utf8ToGbk("数据");
    EXPECT_EQ(DefaultSheet(workbook), 2u);
    EXPECT_EQ(CandidateSheets(workbook), (std::vector<std::size_t>{2, 3}));
    EXPECT_EQ(FindSheet(workbook, Utf8ToGbk("数据")), 2u);
    EXPECT_EQ(FindSheet(workbook, "1"), 0u);
    EXPECT_FALSE(FindSheet(workbook, "5"));
    workbook.sheets.erase(workbook.sheets.begin() + 2, workbook.sheets.end());
    EXPECT_EQ(DefaultSheet(workbook), 1u);
    workbook.sheets.erase(workbook.sheets.begin() + 1);
    EXPECT_FALSE(DefaultSheet(workbook));
}

TEST(SheetCellText, ValuesReadAsASpreadsheetShowsThem) {
    EXPECT_EQ(SerialDateText(45413), "2024/5/1");
    EXPECT_EQ(SerialDateText(45413.5), "2024/5/1 12:00:00");
    EXPECT_EQ(SerialDateText(60),
              "1900/2/28");  // the 1900 system's phantom 29 February comes after
    EXPECT_EQ(SerialDateText(43951, true), "2024/5/1");
    EXPECT_FALSE(SerialDateText(-1));
    EXPECT_EQ(IsoDateText("2024-05-01"), "2024/5/1");
    EXPECT_EQ(IsoDateText("2024-05-01T13:05:00.25"), "2024/5/1 13:05:00");
    EXPECT_EQ(IsoDateText("2024-5-1 x"), "2024-5-1 x");
    EXPECT_EQ(NumberCellText(0.1 + 0.2), "0.3");
    EXPECT_EQ(NumberCellText(45413), "45413");
    EXPECT_TRUE(IsDateFormatCode("yyyy/m/d;@"));
    EXPECT_TRUE(IsDateFormatCode("[$-804]yyyy\"年\"m\"月\"d\"日\""));
    EXPECT_FALSE(IsDateFormatCode("0.00\"m\""));
    EXPECT_FALSE(IsDateFormatCode("[Red]#,##0"));
    EXPECT_FALSE(IsDateFormatCode("General"));
}

struct Imported {
    ImportResult result;
    std::vector<runtime::Row> rows;
};

Imported ImportBytes(std::string_view bytes, const std::string& name = {}) {
    test::TempFile file(bytes);
    fs::path path = file.Path();
    if (!name.empty()) {
        path = file.Path().string() + name;
        fs::copy_file(file.Path(), path);
    }
    runtime::MemoryTable table(KeywordListStorageColumns());
    Imported imported;
    imported.result = ImportKeywordFile(path, table, 1, true);
    imported.rows = table.Rows();
    if (!name.empty()) {
        fs::remove(path);
    }
    return imported;
}

std::vector<std::string> Keywords(const Imported& imported) {
    std::vector<std::string> keywords;
    for (const runtime::Row& row : imported.rows) {
        keywords.push_back(GbkToUtf8(row[1]));
    }
    return keywords;
}

TEST(WorkbookImport, HtmlTablesOfAnyPageAreRead) {
    // As a spreadsheet program saves a page: GBK declared, a caption row
    // spanning two columns above the captions, entities, comments, styles.
    const std::string page = Utf8ToGbk(
        "<!DOCTYPE html><html><head><meta http-equiv=Content-Type content=\"text/html; "
        "charset=gbk\"><style>td{color:red}</style><title>关键词</title></head><body>"
        "<!-- <table><tr><td>关键词</td></tr></table> -->"
        "<table border=1><tr><td colspan=2>导出 &amp; 说明</td><td>z</td></tr>"
        "<tr><th>排名</th><th>搜索词</th><th>备注</th></tr>"
        "<tr><td>1</td><td><font>漢服&nbsp;女</font></td><td>a<br>b</td></tr>"
        "<tr><td>2</td><td>  </td></tr>"
        "<tr><td>3</td><td>A&lt;B&#x4E2D;&#25991;</td></tr></table></body></html>");
    const Imported imported = ImportBytes(page, ".html");
    EXPECT_EQ(imported.result.problem, ImportProblem::None);
    EXPECT_EQ(Keywords(imported), (std::vector<std::string>{"漢服 女", "A<B中文"}));
}

TEST(WorkbookImport, CsvFiguresComeBackWhenTheCaptionsAreTheLists) {
    const std::string csv =
        "\xEF\xBB\xBF序号,关键词,宝贝数量,昨日搜索指数,7天平均指数,指数趋势,竞争倍数,趋势比(斜率),"
        "状态\r\n"
        "7,连衣裙,120,35,30,↑,4,--,失败\r\n"
        "8,童装,1,2,3,↓,5,6,不是状态\r\n";
    const Imported imported = ImportBytes(csv, ".csv");
    const std::string failed(query::RowOutcomeText(query::RowOutcome::Failed));
    ASSERT_EQ(imported.rows.size(), 2u);
    // Numbered by the import; "--" is a figure without a value; only a real outcome is kept.
    runtime::Row expected{"1",   Utf8ToGbk("连衣裙"), "120", "35", "30", Utf8ToGbk("↑"), "4", "nan",
                          failed};
    expected.resize(query::kStoredColumnCount);
    EXPECT_EQ(imported.rows[0], expected);
    EXPECT_EQ(imported.rows[1][query::kOutcomeColumn], "");
    EXPECT_EQ(imported.rows[1][7], "6");
}

TEST(WorkbookImport, CharactersWithoutGbkFormAreMarkedNotQueried) {
    const Imported imported = ImportBytes("Nike™运动鞋\n连衣裙\n𠮷野家\n");
    EXPECT_EQ(Keywords(imported), (std::vector<std::string>{"Nike〓运动鞋", "连衣裙", "〓野家"}));
    EXPECT_EQ(imported.result.unrepresentable, 2);
    const std::string notQueried(query::RowOutcomeText(query::RowOutcome::NotQueried));
    EXPECT_EQ(imported.rows[0][query::kOutcomeColumn], notQueried);
    EXPECT_EQ(imported.rows[0][query::kReasonColumn], query::kNoGbkFormReason);
    EXPECT_EQ(imported.rows[1][query::kOutcomeColumn], "");
    EXPECT_EQ(GbkToUtf8(UnrepresentableText(2)), "其中 2 个含 GBK 无法表示的字符，未查询");
    EXPECT_EQ(UnrepresentableText(0), "");
    // The mark is found on character boundaries only.
    EXPECT_EQ(ImportBytes(Utf8ToGbk("啊〓")).result.unrepresentable,
              1);  // a 〓 in a file reads as the mark
    EXPECT_FALSE(runtime::HoldsNoGbkFormMark("\xB0\xA1\xFE\xA1"));
}

std::string ZipOf(const char* member, const std::string& text) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    zip_source_keep(buffer);
    zip_file_add(archive, member, zip_source_buffer(archive, text.data(), text.size(), 0), 0);
    zip_close(archive);
    zip_source_open(buffer);
    zip_source_seek(buffer, 0, SEEK_END);
    std::string bytes(static_cast<std::size_t>(zip_source_tell(buffer)), '\0');
    zip_source_seek(buffer, 0, SEEK_SET);
    zip_source_read(buffer, bytes.data(), bytes.size());
    zip_source_close(buffer);
    zip_source_free(buffer);
    zip_error_fini(&error);
    return bytes;
}

TEST(WorkbookImport, OtherFilesAreRefusedNamingWhatTheyAre) {
    const std::string encrypted =
        std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0", 10) +
        std::string("E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0", 32);
    const struct {
        std::string bytes;
        const char* what;
    } cases[] = {
        {"%PDF-1.7\n", "PDF 文档"},
        {std::string("\x89PNG\r\n\x1A\n\0\0", 10), "PNG 图片"},
        {ZipOf("readme.txt", "关键词\n女装"), "ZIP 压缩包（不是工作簿）"},
        {encrypted, "加密的工作簿"},
        {std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + "W\0o\0r\0d\0",
         "Office 复合文档（不是工作簿）"},
        {"ab\x01\x02\x03xyz", "二进制文件"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Imported imported = ImportBytes(c.bytes, ".txt");
        EXPECT_EQ(imported.result.problem, ImportProblem::Unsupported);
        EXPECT_EQ(GbkToUtf8(ImportResultText(imported.result)),
                  std::string("不支持的文件格式：") + c.what);
        EXPECT_TRUE(imported.rows.empty());
    }
    // A file whose data NUL ends is still a keyword file.
    EXPECT_EQ(Keywords(ImportBytes(std::string("a\nb\0\x01\x02", 6))),
              (std::vector<std::string>{"a", "b"}));
}

// A compound file naming a Workbook stream goes to the BIFF8 reader: a
// build without one refuses it by name, a build with one finds no workbook.
TEST(WorkbookImport, Biff8WorkbookWithoutReaderIsRefusedByName) {
    const std::string biff8 = std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) +
                              std::string("W\0o\0r\0k\0b\0o\0o\0k\0", 16);
    const Imported imported = ImportBytes(biff8, ".xls");
    EXPECT_TRUE(imported.rows.empty());
    if (Biff8ReaderAvailable()) {
        EXPECT_EQ(imported.result.problem, ImportProblem::NotText);
    } else {
        EXPECT_EQ(imported.result.problem, ImportProblem::Unsupported);
        EXPECT_EQ(GbkToUtf8(ImportResultText(imported.result)),
                  "不支持的文件格式：Excel 97-2003 工作簿");
    }
}

TEST(WorkbookImport, WorkbookWithoutKeywordTextSaysSo) {
    for (const std::string& bytes :
         {std::string("<table><tr><td> </td></tr></table>"), std::string("关键词,x\n,1\n")}) {
        const Imported imported = ImportBytes(bytes, ".csv");
        EXPECT_EQ(imported.result.problem, ImportProblem::NoKeywords);
        EXPECT_EQ(GbkToUtf8(ImportResultText(imported.result)), "未找到关键词");
    }
    // An empty plain keyword file stays silent, as it always was.
    EXPECT_EQ(ImportBytes("", ".txt").result.problem, ImportProblem::None);
}

TEST(SpreadsheetExportCharset, GbkIsDeclaredOnlyWhenACharacterIsBeyondGb2312) {
    runtime::MemoryTable table(KeywordListColumns());
    table.AppendRows({{"1", Utf8ToGbk("连衣裙·夏")}});
    const std::vector<int> widths = InitialWidths(KeywordListColumns());
    const std::string plain = BuildSpreadsheetDocument(table, {0}, widths);
    EXPECT_TRUE(plain.starts_with(XlsHeaderTemplate()));

    table.AppendRows({{"2", Utf8ToGbk("漢服")}});
    std::string wide = BuildSpreadsheetDocument(table, {0, 1}, widths);
    const std::size_t at = wide.find("charset=GBK\"");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(wide.find("GB2312"), std::string::npos);
    wide.replace(at, 11, "charset=GB2312");
    EXPECT_TRUE(wide.starts_with(XlsHeaderTemplate()));
}

}  // namespace
}  // namespace mofeng::app
