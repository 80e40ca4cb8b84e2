#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "app/ExportFormats.h"
#include "app/KeywordImport.h"
#include "app/KeywordListColumns.h"
#include "runtime/CodePage.h"
#include "runtime/MemoryTable.h"

namespace mofeng::app {
namespace {

namespace fs = std::filesystem;
using runtime::Utf8ToGbk;

class ExportFormatsTest : public testing::Test {
protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() / ("mofeng-export-fmt-" + std::to_string(::getpid()));
        fs::create_directories(m_folder);
        // Two hidden cells after the eight shown columns, as a run may keep.
        auto columns = KeywordListColumns();
        columns.push_back({"hidden", 0});
        columns.push_back({"hidden2", 0});
        m_table = std::make_unique<runtime::MemoryTable>(columns);
        m_table->AppendRows(
            {{"1", Utf8ToGbk("连衣裙"), "120", "35", "30.5", "  --", "4", "-0.25", "ok", "x"},
             {"2", "007", "", "1e3", "", "", "", "", "", ""},
             {"3", Utf8ToGbk("a,\"b\"\nc"), "9", "1", "2", "3", "4.5", "1", "", ""}});
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    fs::path m_folder;
    std::unique_ptr<runtime::MemoryTable> m_table;
    const std::vector<int> m_rows{0, 1, 2};
    const std::vector<int> m_widths = InitialWidths(KeywordListColumns());
};

TEST_F(ExportFormatsTest, FormatFollowsTheExtension) {
    EXPECT_EQ(ExportFormatOf("a.XLSX"), ExportFormat::Xlsx);
    EXPECT_EQ(ExportFormatOf("a.csv"), ExportFormat::Csv);
    EXPECT_EQ(ExportFormatOf("a.xls"), ExportFormat::Xls);
    EXPECT_EQ(ExportFormatOf("a"), ExportFormat::Xls);
}

TEST_F(ExportFormatsTest, CsvIsUtf8WithMarkAndQuotesWhatNeedsIt) {
    const fs::path path = m_folder / "list.csv";
    ASSERT_TRUE(ExportRows(path, *m_table, m_rows, m_widths, kKeywordListColumnCount));
    const std::string csv = Read(path);
    EXPECT_EQ(csv,
              "\xEF\xBB\xBF序号,关键词,宝贝数量,昨日搜索指数,7天平均指数,指数趋势,竞争倍数,趋势比("
              "斜率)\r\n"
              "1,连衣裙,120,35,30.5,  --,4,-0.25\r\n"
              "2,007,,1e3,,,,\r\n"
              "3,\"a,\"\"b\"\"\nc\",9,1,2,3,4.5,1\r\n");
    // Read back by the import: the same keywords.
    runtime::MemoryTable back(KeywordListColumns());
    ImportKeywordFile(path, back, 1, true);
    ASSERT_EQ(back.RowCount(), 3);
    EXPECT_EQ(back.GetCell(2, 1), Utf8ToGbk("a,\"b\"\nc"));
}

std::string RunCommand(const std::string& command) {
    std::string output;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe) {
        return output;
    }
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0) {
        output.append(buffer.data(), n);
    }
    return output;
}

TEST_F(ExportFormatsTest, WorkbookReadByAnIndependentReaderHasNumbersAsNumbers) {
    const fs::path path = m_folder / "list.xlsx";
    ASSERT_TRUE(ExportRows(path, *m_table, m_rows, m_widths, kKeywordListColumnCount));
    const fs::path script = m_folder / "read.py";
    std::ofstream(script) << "import openpyxl, sys\n"
                             "ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]\n"
                             "for row in ws.iter_rows(values_only=True):\n"
                             "    print('|'.join(type(v).__name__ + ':' + str(v) for v in row))\n"
                             "print('width', round(ws.column_dimensions['B'].width))\n";
    const std::string dump =
        RunCommand("/usr/bin/python3 " + script.string() + " " + path.string());
    EXPECT_EQ(dump,
              "str:序号|str:关键词|str:宝贝数量|str:昨日搜索指数|str:7天平均指数|str:指数趋势|"
              "str:竞争倍数|str:趋势比(斜率)\n"
              "int:1|str:连衣裙|int:120|int:35|float:30.5|str:  --|int:4|float:-0.25\n"
              "int:2|str:007|NoneType:None|int:1000|NoneType:None|NoneType:None|NoneType:None|"
              "NoneType:None\n"
              "int:3|str:a,\"b\"\nc|int:9|int:1|int:2|int:3|float:4.5|int:1\n"
              "width 23\n");
    // And the import reads it back.
    runtime::MemoryTable back(KeywordListColumns());
    ImportKeywordFile(path, back, 1, true);
    ASSERT_EQ(back.RowCount(), 3);
    EXPECT_EQ(back.GetCell(1, 1), "007");
}

TEST_F(ExportFormatsTest, XlsKeepsItsBytesAndShowsOnlyTheEightColumns) {
    const fs::path path = m_folder / "list.xls";
    ASSERT_TRUE(ExportRows(path, *m_table, m_rows, m_widths, kKeywordListColumnCount));
    const std::string xls = Read(path);
    EXPECT_EQ(xls.find("hidden"), std::string::npos);
    EXPECT_EQ(xls.find(">ok<"), std::string::npos);
}

TEST_F(ExportFormatsTest, AFailingWriteKeepsThePreviousExport) {
    for (const char* name : {"keep.xls", "keep.xlsx", "keep.csv"}) {
        const fs::path path = m_folder / name;
        std::ofstream(path) << "previous";
        const runtime::DeviceWrapper failing = [](runtime::OutputDevice&) {
            struct Broken final : runtime::OutputDevice {
                bool Write(std::string_view) override { return false; }
            };
            return std::make_unique<Broken>();
        };
        EXPECT_FALSE(
            ExportRows(path, *m_table, m_rows, m_widths, kKeywordListColumnCount, failing));
        EXPECT_EQ(Read(path), "previous") << name;
    }
}

}  // namespace
}  // namespace mofeng::app
