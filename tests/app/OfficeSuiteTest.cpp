#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "OfficeSuite.h"
#include "TempFile.h"
#include "app/ExportFormats.h"
#include "app/KeywordImport.h"
#include "app/KeywordListColumns.h"
#include "columns/KeywordListSchema.h"
#include "query/QueryRow.h"
#include "query/RowOutcome.h"
#include "runtime/CodePage.h"
#include "runtime/MemoryTable.h"

namespace mofeng::app {
namespace {

namespace fs = std::filesystem;
using runtime::GbkToUtf8;
using runtime::Utf8ToGbk;

// A workbook as a seller gets it: an empty first sheet, notes above the
// caption row, a numbered first column, a date, a character GBK cannot hold,
// a row without a keyword, and a third sheet that is not read by default.
constexpr const char* kSellerWorkbook = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" office:version="1.2"
 office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:automatic-styles>
<number:date-style style:name="D1"><number:year number:style="long"/><number:text>/</number:text><number:month/><number:text>/</number:text><number:day/></number:date-style>
<style:style style:name="ce1" style:family="table-cell" style:data-style-name="D1"/>
</office:automatic-styles>
<office:body><office:spreadsheet>
<table:table table:name="说明"><table:table-row><table:table-cell/></table:table-row></table:table>
<table:table table:name="数据">
<table:table-row><table:table-cell office:value-type="string"><text:p>生意参谋导出</text:p></table:table-cell></table:table-row>
<table:table-row><table:table-cell/></table:table-row>
<table:table-row><table:table-cell office:value-type="string"><text:p>序号</text:p></table:table-cell><table:table-cell office:value-type="string"><text:p>搜索词</text:p></table:table-cell><table:table-cell office:value-type="string"><text:p>搜索人气</text:p></table:table-cell></table:table-row>
<table:table-row><table:table-cell office:value-type="float" office:value="1"/><table:table-cell office:value-type="string"><text:p>漢服</text:p></table:table-cell><table:table-cell office:value-type="float" office:value="1200"/></table:table-row>
<table:table-row><table:table-cell office:value-type="float" office:value="2"/><table:table-cell office:value-type="string"><text:p>Nike™运动鞋</text:p></table:table-cell><table:table-cell office:value-type="float" office:value="0.5"/></table:table-row>
<table:table-row><table:table-cell office:value-type="float" office:value="3"/></table:table-row>
<table:table-row><table:table-cell office:value-type="float" office:value="4"/><table:table-cell table:style-name="ce1" office:value-type="date" office:date-value="2024-05-01"/></table:table-row>
</table:table>
<table:table table:name="另一个"><table:table-row><table:table-cell office:value-type="string"><text:p>关键词</text:p></table:table-cell></table:table-row><table:table-row><table:table-cell office:value-type="string"><text:p>不读</text:p></table:table-cell></table:table-row></table:table>
</office:spreadsheet></office:body></office:document>
)";

const std::vector<std::string> kSellerKeywords = {"漢服", "Nike〓运动鞋", "2024/5/1"};

// The list our exports are made from: figures, outcomes, characters beyond
// GB2312, and a figure without a value (exported "--", read back as one).
std::vector<runtime::Row> ListRows() {
    const auto outcome = [](query::RowOutcome o) { return std::string(query::RowOutcomeText(o)); };
    return {
        {"1", Utf8ToGbk("连衣裙"), "120", "35", "30", Utf8ToGbk("↑"), "4", "0.5",
         outcome(query::RowOutcome::Normal)},
        {"2", Utf8ToGbk("漢服"), "15", "2", "1.5", Utf8ToGbk("↓"), "7.5", "-0.25",
         outcome(query::RowOutcome::NoData)},
        {"3", Utf8ToGbk("喆喆家居"), "9", "", "", "", "", "", outcome(query::RowOutcome::Failed)},
        {"4", "2026", "5", "1", "2", Utf8ToGbk("→"), "inf", "3",
         outcome(query::RowOutcome::Normal)},
    };
}

// What comes back of ListRows: the eight columns (the figure "inf" went out
// as "--" and comes back as a figure without a value), and the outcome when
// the file has 状态.
std::vector<runtime::Row> ExpectedBack(bool withOutcome) {
    std::vector<runtime::Row> rows = ListRows();
    rows[3][6] = "nan";
    for (runtime::Row& row : rows) {
        row.resize(query::kStoredColumnCount);
        if (!withOutcome) {
            row[query::kOutcomeColumn].clear();
        }
    }
    return rows;
}

// Every file is written once for the whole suite: the office suite needs
// several seconds a run, and one run converts all inputs to one format.
class OfficeSuiteTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!test::HaveOfficeSuite()) {
            return;
        }
        s_folder =
            fs::temp_directory_path() / ("mofeng-office-files-" + std::to_string(::getpid()));
        fs::create_directories(s_folder);
        const fs::path seller = s_folder / "seller.fods";
        std::ofstream(seller) << kSellerWorkbook;
        runtime::MemoryTable list(KeywordListStorageColumns());
        list.AppendRows(ListRows());
        const std::vector<int> rows = {0, 1, 2, 3};
        const std::vector<int> widths = InitialWidths(KeywordListColumns());
        const fs::path ownXls = s_folder / "own_xls.xls";
        const fs::path ownXlsx = s_folder / "own_xlsx.xlsx";
        const fs::path ownCsv = s_folder / "own_csv.csv";
        s_exported = ExportRows(ownXls, list, rows, widths, columns::kExportedColumnCount) &&
                     ExportRows(ownXlsx, list, rows, widths, columns::kExportedColumnCount) &&
                     ExportRows(ownCsv, list, rows, widths, columns::kExportedColumnCount);
        const auto convert = [](const std::vector<fs::path>& inputs, const std::string& target,
                                const std::string& folder, const std::string& filter = {}) {
            fs::create_directories(s_folder / folder);
            return test::ConvertWithOfficeSuite(inputs, target, s_folder / folder, filter);
        };
        s_converted = convert({seller, ownXlsx}, "xls:MS Excel 97", "xls") &&
                      convert({seller, ownXlsx}, "ods", "ods") &&
                      convert({seller, ownXls}, "xlsx:Calc MS Excel 2007 XML", "xlsx") &&
                      convert({seller, ownXls, ownXlsx}, "html:HTML (StarCalc)", "html") &&
                      convert({ownCsv}, "xlsx:Calc MS Excel 2007 XML", "csv", "CSV:44,34,76,1") &&
                      // 67: the suite's number for GBK.
                      convert({ownXlsx}, "csv:Text - txt - csv (StarCalc):44,34,67,1", "gbk");
    }
    static void TearDownTestSuite() {
        std::error_code ignored;
        fs::remove_all(s_folder, ignored);
    }

    void SetUp() override {
        if (!test::HaveOfficeSuite()) {
            GTEST_SKIP() << test::kNoOfficeSuite;
        }
        ASSERT_TRUE(s_exported);
        ASSERT_TRUE(s_converted) << "the office suite failed to convert the files";
    }

    struct Imported {
        ImportResult result;
        std::vector<runtime::Row> rows;
    };
    static Imported Import(const fs::path& path, const SheetChoice& sheets = {}) {
        runtime::MemoryTable table(KeywordListStorageColumns());
        Imported imported;
        imported.result = ImportKeywordFile(
            path,
            [&](std::vector<runtime::Row> rows) { return table.AppendRows(std::move(rows)) >= 0; },
            1, true, sheets);
        imported.rows = table.Rows();
        return imported;
    }
    static std::vector<std::string> Keywords(const Imported& imported) {
        std::vector<std::string> keywords;
        for (const runtime::Row& row : imported.rows) {
            keywords.push_back(GbkToUtf8(row[1]));
        }
        return keywords;
    }

    static inline fs::path s_folder;
    static inline bool s_exported = false;
    static inline bool s_converted = false;
};

TEST_F(OfficeSuiteTest, SellerWorkbookInEveryFormatGivesTheKeywordSheet) {
    for (const char* file :
         {"xls/seller.xls", "ods/seller.ods", "xlsx/seller.xlsx", "html/seller.html"}) {
        SCOPED_TRACE(file);
        const Imported imported = Import(s_folder / file);
        EXPECT_EQ(imported.result.problem, ImportProblem::None);
        EXPECT_EQ(Keywords(imported), kSellerKeywords);
        // The keyword with ™ is kept visibly, marked and never queried.
        EXPECT_EQ(imported.result.unrepresentable, 1);
        ASSERT_EQ(imported.rows.size(), 3u);
        EXPECT_EQ(imported.rows[1][query::kOutcomeColumn],
                  query::RowOutcomeText(query::RowOutcome::NotQueried));
        EXPECT_EQ(imported.rows[1][query::kReasonColumn], query::kNoGbkFormReason);
        EXPECT_EQ(imported.rows[0][query::kOutcomeColumn], "");
    }
}

TEST_F(OfficeSuiteTest, SheetIsPickedByNameNumberOrChooser) {
    for (const char* file : {"xls/seller.xls", "ods/seller.ods", "xlsx/seller.xlsx"}) {
        SCOPED_TRACE(file);
        SheetChoice byName;
        byName.sheet = Utf8ToGbk("另一个");
        EXPECT_EQ(Keywords(Import(s_folder / file, byName)), std::vector<std::string>{"不读"});
        SheetChoice byNumber;
        byNumber.sheet = "3";
        EXPECT_EQ(Keywords(Import(s_folder / file, byNumber)), std::vector<std::string>{"不读"});
        SheetChoice missing;
        missing.sheet = "9";
        EXPECT_EQ(Import(s_folder / file, missing).result.problem, ImportProblem::NoSuchSheet);

        // Both captioned sheets are offered, by name; the answer is taken.
        std::vector<std::string> offered;
        SheetChoice asked;
        asked.chooser = [&](const Workbook& workbook, const std::vector<std::size_t>& candidates) {
            for (const std::size_t index : candidates) {
                offered.push_back(GbkToUtf8(workbook.sheets[index].name));
            }
            return std::optional<std::size_t>(candidates.back());
        };
        EXPECT_EQ(Keywords(Import(s_folder / file, asked)), std::vector<std::string>{"不读"});
        EXPECT_EQ(offered, (std::vector<std::string>{"数据", "另一个"}));
    }
}

TEST_F(OfficeSuiteTest, OurExportsComeBackWithFiguresAndOutcomesAfterAResave) {
    struct RoundTrip {
        const char* file;
        bool outcome;  // the file went through one of our exports with 状态
    };
    for (const RoundTrip& trip : {RoundTrip{"own_xls.xls", false},
                                  {"own_xlsx.xlsx", true},
                                  {"own_csv.csv", true},
                                  {"xls/own_xlsx.xls", true},
                                  {"ods/own_xlsx.ods", true},
                                  {"xlsx/own_xls.xlsx", false},
                                  {"html/own_xls.html", false},
                                  {"html/own_xlsx.html", true},
                                  {"csv/own_csv.xlsx", true},
                                  {"gbk/own_xlsx.csv", true}}) {
        SCOPED_TRACE(trip.file);
        const Imported imported = Import(s_folder / trip.file);
        EXPECT_EQ(imported.result.problem, ImportProblem::None);
        EXPECT_EQ(imported.rows, ExpectedBack(trip.outcome));
    }
}

TEST_F(OfficeSuiteTest, SuiteReadsOurXlsWithCharactersBeyondGb2312) {
    const std::string document = test::ReadFile(s_folder / "own_xls.xls");
    EXPECT_NE(document.find("charset=GBK"), std::string::npos);
    // What the suite made of it, read by the xlsx reader: 漢服 and 喆喆家居 intact.
    const Imported resaved = Import(s_folder / "xlsx/own_xls.xlsx");
    ASSERT_EQ(resaved.rows.size(), 4u);
    EXPECT_EQ(GbkToUtf8(resaved.rows[1][1]), "漢服");
    EXPECT_EQ(GbkToUtf8(resaved.rows[2][1]), "喆喆家居");
}

}  // namespace
}  // namespace mofeng::app
