#include <gtest/gtest.h>
#include <zip.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/XlsxSheetReader.h"

namespace mofeng::app {
namespace {

constexpr const char* kWorkbook =
    "<workbook><sheets><sheet name=\"a\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
constexpr const char* kRelations =
    "<Relationships><Relationship Id=\"rId1\" Target=\"worksheets/sheet1.xml\"/></Relationships>";

struct Part {
    const char* name;
    std::string text;
    bool compressed;
};

// A workbook zipped in memory by libzip, each part deflated or stored.
std::string Zip(const std::vector<Part>& parts) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    zip_source_keep(buffer);
    for (const Part& part : parts) {
        zip_source_t* member = zip_source_buffer(archive, part.text.data(), part.text.size(), 0);
        const zip_int64_t index = zip_file_add(archive, part.name, member, 0);
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                                 part.compressed ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 9);
    }
    EXPECT_EQ(zip_close(archive), 0);
    std::string bytes;
    zip_source_open(buffer);
    zip_source_seek(buffer, 0, SEEK_END);
    bytes.resize(static_cast<std::size_t>(zip_source_tell(buffer)));
    zip_source_seek(buffer, 0, SEEK_SET);
    zip_source_read(buffer, bytes.data(), bytes.size());
    zip_source_close(buffer);
    zip_source_free(buffer);
    zip_error_fini(&error);
    return bytes;
}

std::string Repeated(std::string_view piece, std::size_t times) {
    std::string text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

std::string Sheet(const std::string& rows) {
    return "<worksheet><sheetData>" + rows + "</sheetData></worksheet>";
}

std::string VariedRows(int count) {
    std::string rows;
    for (int i = 1; i <= count; ++i) {
        const std::string n = std::to_string(i);
        rows += "<row r=\"" + n + "\"><c r=\"A" + n + "\" t=\"inlineStr\"><is><t>kw" +
                std::to_string(i * 7919 % 100003) + "</t></is></c></row>";
    }
    return rows;
}

std::vector<SheetRow> ReadAll(const std::string& workbook, bool* read = nullptr) {
    std::vector<SheetRow> rows;
    const bool ok = ReadFirstXlsxSheet(workbook, [&](SheetRow& row) {
        rows.push_back(row);
        return true;
    });
    if (read != nullptr) {
        *read = ok;
    }
    return rows;
}

TEST(XlsxSheetReader, CellsComeBackAsTheirTextsInTheirColumns) {
    const std::string shared =
        "<sst><si><t>女装</t><rPh sb=\"0\" eb=\"1\"><t>ぬ</t></rPh></si>"
        "<si><r><t>小</t></r><r><t xml:space=\"preserve\">米 </t></r></si><si/>"
        "<si><t>a&amp;b</t></si></sst>";
    const std::string sheet = Sheet(
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"C1\" t=\"s\"><v>1</v></c></row>"
        "<row r=\"4\"><c t=\"s\"><v>2</v></c><c t=\"s\"><v>3</v></c><c t=\"s\"><v>9</v></c>"
        "<c t=\"inlineStr\"><is><t>童装</t></is></c></row>"
        "<row><c r=\"B9\" t=\"b\"><v>1</v></c><c t=\"b\"><v>0</v></c><c><v>1.5</v></c></row>");
    bool read = false;
    const std::vector<SheetRow> rows =
        ReadAll(Zip({{"xl/workbook.xml", kWorkbook, true},
                     {"xl/_rels/workbook.xml.rels", kRelations, true},
                     {"xl/sharedStrings.xml", shared, true},
                     {"xl/worksheets/sheet1.xml", sheet, true}}),
                &read);
    EXPECT_TRUE(read);
    const std::vector<SheetRow> expected = {
        {"女装", "", "小米 "},
        {"", "a&b", "", "童装"},  // index 9 is past the strings: empty
        {"", "TRUE", "FALSE", "1.5"},
    };
    EXPECT_EQ(rows, expected);
}

TEST(XlsxSheetReader, NoRowIsWiderThanTheWidestSheet) {
    constexpr std::size_t kWidest = 16384;  // columns A..XFD
    const std::string rows[] = {
        "<row>" + Repeated("<c><v>1</v></c>", kWidest + 5) + "</row>",
        "<row><c r=\"XFD1\"><v>1</v></c><c><v>2</v></c></row>",
        "<row><c r=\"XFE1\"><v>1</v></c></row>",  // past the widest: the next column
    };
    for (const std::string& row : rows) {
        bool read = false;
        const std::vector<SheetRow> back =
            ReadAll(Zip({{"xl/workbook.xml", kWorkbook, false},
                         {"xl/_rels/workbook.xml.rels", kRelations, false},
                         {"xl/worksheets/sheet1.xml", Sheet(row), true}}),
                    &read);
        EXPECT_TRUE(read);
        ASSERT_EQ(back.size(), 1u);
        EXPECT_LE(back[0].size(), kWidest);
        EXPECT_EQ(back[0].back(), "1");
    }
}

TEST(XlsxSheetReader, AWorkbookThatUnpacksFarBeyondItsSizeIsRefusedBeforeAnyRow) {
    constexpr std::size_t kBombRows = 200'000;  // some 5 MiB of XML in 6 KiB
    const std::string bombRows = Repeated("<row><c><v>1</v></c></row>", kBombRows);
    struct Case {
        const char* name;
        std::vector<Part> parts;
        bool readable;
        std::size_t rows;
    };
    const std::vector<Case> cases = {
        {"a sheet bomb",
         {{"xl/workbook.xml", kWorkbook, true},
          {"xl/_rels/workbook.xml.rels", kRelations, true},
          {"xl/worksheets/sheet1.xml", Sheet(bombRows), true}},
         false,
         0},
        {"a shared-strings bomb",
         {{"xl/workbook.xml", kWorkbook, true},
          {"xl/_rels/workbook.xml.rels", kRelations, true},
          {"xl/sharedStrings.xml", "<sst>" + Repeated("<si/>", 1'000'000) + "</sst>", true},
          {"xl/worksheets/sheet1.xml", Sheet("<row><c t=\"s\"><v>0</v></c></row>"), true}},
         false,
         0},
        {"the same rows stored, not compressed",
         {{"xl/workbook.xml", kWorkbook, false},
          {"xl/_rels/workbook.xml.rels", kRelations, false},
          {"xl/worksheets/sheet1.xml", Sheet(bombRows), false}},
         true,
         kBombRows},
        {"ordinary rows, compressed as a spreadsheet writer does",
         {{"xl/workbook.xml", kWorkbook, true},
          {"xl/_rels/workbook.xml.rels", kRelations, true},
          {"xl/worksheets/sheet1.xml", Sheet(VariedRows(40'000)), true}},
         true,
         40'000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::size_t rows = 0;
        const bool read = ReadFirstXlsxSheet(Zip(c.parts), [&](SheetRow&) {
            ++rows;
            return true;
        });
        EXPECT_EQ(read, c.readable);
        EXPECT_EQ(rows, c.rows);
    }
}

}  // namespace
}  // namespace mofeng::app
