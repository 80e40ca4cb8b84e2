#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "TempFile.h"
#include "app/SpreadsheetExport.h"
#include "runtime/CodePage.h"
#include "runtime/MemoryTable.h"

namespace mofeng::app {
namespace {

using runtime::Utf8ToGbk;
using test::TempFile;

int Count(std::string_view text, std::string_view sought) {
    int count = 0;
    for (auto at = text.find(sought); at != std::string_view::npos;
         at = text.find(sought, at + 1)) {
        ++count;
    }
    return count;
}

TEST(XlsHeaderTemplate, HasItsFixedShape) {
    const std::string_view head = XlsHeaderTemplate();
    EXPECT_EQ(head.size(), 6232u);
    EXPECT_EQ(Count(head, "\r\n"), 207);
    EXPECT_EQ(Count(head, "\n"), 207) << "every LF belongs to a CR LF";
    EXPECT_EQ(Count(head, "\r"), 207) << "every CR belongs to a CR LF";
    EXPECT_TRUE(head.starts_with("<html xmlns:o=\"urn:schemas-microsoft-com:office:office\"\r\n"));
    EXPECT_TRUE(head.ends_with("</head>\r\n\r\n<body link=blue vlink=purple>\r\n"));
    // Well-formed GBK: nothing decodes to the replacement character.
    EXPECT_EQ(runtime::GbkToUtf8(head).find("\xEF\xBF\xBD"), std::string::npos);
}

TEST(XlsHeaderTemplate, CarriesTheFixedValues) {
    const std::string head(XlsHeaderTemplate());
    const std::vector<std::string> fixed = {
        "charset=GB2312",
        "Excel.Sheet",
        "Microsoft Excel 9",
        "./ET2.files/filelist.xml",
        "./ET2.files/editdata.mso",
        "./ET2.files/oledata.mso",
        "2004-08-13T08:17:20Z",
        "2002-09-15T13:04:16Z",
        "2002-09-15T13:17:58Z",
        "http://www.w3.org/TR/REC-html40",
        Utf8ToGbk("xmlns:u1=\"“urn:schemas-microsoft-com:office:office”\""),
        Utf8ToGbk("xmlns:u2=\"“urn:schemas-microsoft-com:office:excel”\""),
        "mso-displayed-decimal-separator:\"\\.\"",
        "mso-displayed-thousand-separator:\"\\,\"",
        "margin:1.0in .75in 1.0in .75in",
        "mso-header-margin:.5in",
        "mso-footer-margin:.5in",
        "mso-data-placement:same-cell",
        Utf8ToGbk("font-family:宋体"),
        Utf8ToGbk("mso-style-name:常规"),
        "mso-font-charset:134",
        "font-size:9.0pt",
        "<x:WindowHeight>9030</x:WindowHeight>",
        "<x:WindowTopY>30</x:WindowTopY>",
        "<u2:WindowHeight>9255</u2:WindowHeight>",
        "<u2:WindowTopY>60</u2:WindowTopY>",
        "<u2:DefaultRowHeight>345</u2:DefaultRowHeight>",
        "<u2:ActiveRow>26</u2:ActiveRow>",
        "<u1:DownloadComponents/>",
    };
    for (const std::string& value : fixed) {
        EXPECT_NE(head.find(value), std::string::npos) << value;
    }
    EXPECT_EQ(Count(head, "9.2812"), 2);
    EXPECT_EQ(Count(head, "14985"), 2);
    EXPECT_EQ(Count(head, ">False<"), 22);
    EXPECT_EQ(Count(head, "<!--[if gte mso 9]><xml>\r\n"), 5);
    EXPECT_EQ(Count(head, "</xml><![endif]-->\r\n"), 5);
}

const std::vector<std::pair<std::string, int>>& KeywordColumns() {
    static const std::vector<std::pair<std::string, int>> columns = {
        {Utf8ToGbk("序号"), 55},         {Utf8ToGbk("关键词"), 160},
        {Utf8ToGbk("宝贝数量"), 100},    {Utf8ToGbk("昨日搜索指数"), 110},
        {Utf8ToGbk("7天平均指数"), 120}, {Utf8ToGbk("指数趋势"), 100},
        {Utf8ToGbk("竞争倍数"), 100},    {Utf8ToGbk("趋势比(斜率)"), 100}};
    return columns;
}

TEST(SpreadsheetDocument, KeywordListWithOneRowIsByteExact) {
    runtime::MemoryTable table(KeywordColumns());
    table.AppendRows({{"1", "a"}, {"2", Utf8ToGbk("连衣裙"), "123", "45", "40", "5", "3", "1.5"}});

    std::string expected(XlsHeaderTemplate());
    expected += Utf8ToGbk(
        "<table x:str border=0 cellpadding=0 cellspacing=0 width=635 "
        "style='border-collapse:   collapse;table-layout:fixed;width:477pt' u2:str>\r\n"
        " <col width=55 style='mso-width-source:userset;mso-width-alt:1760;width:41pt'>\r\n"
        " <col width=160 style='mso-width-source:userset;mso-width-alt:5120;width:120pt'>\r\n"
        " <col width=100 style='mso-width-source:userset;mso-width-alt:3200;width:75pt'>\r\n"
        " <col width=110 style='mso-width-source:userset;mso-width-alt:3520;width:82pt'>\r\n"
        " <col width=120 style='mso-width-source:userset;mso-width-alt:3840;width:90pt'>\r\n"
        " <col width=100 style='mso-width-source:userset;mso-width-alt:3200;width:75pt'>\r\n"
        " <col width=100 style='mso-width-source:userset;mso-width-alt:3200;width:75pt'>\r\n"
        " <col width=100 style='mso-width-source:userset;mso-width-alt:3200;width:75pt'>\r\n"
        " <tr height=19 style='mso-height-source:userset;height:14.25pt'>\r\n"
        "  <td width=55 style='width:41pt'>序号</td>\r\n"
        "  <td width=160 style='width:120pt'>关键词</td>\r\n"
        "  <td width=100 style='width:75pt'>宝贝数量</td>\r\n"
        "  <td width=110 style='width:82pt'>昨日搜索指数</td>\r\n"
        "  <td width=120 style='width:90pt'>7天平均指数</td>\r\n"
        "  <td width=100 style='width:75pt'>指数趋势</td>\r\n"
        "  <td width=100 style='width:75pt'>竞争倍数</td>\r\n"
        "  <td width=100 style='width:75pt'>趋势比(斜率)</td>\r\n"
        "</tr>\r\n"
        "<tr height=19 style='mso-height-source:userset;height:14.25pt'> \r\n"
        "  <td height=19 style='height:14.25pt'>2</td>\r\n"
        "<td>连衣裙</td>\r\n"
        "<td>123</td>\r\n"
        "<td>45</td>\r\n"
        "<td>40</td>\r\n"
        "<td>5</td>\r\n"
        "<td>3</td>\r\n"
        "<td>1.5</td>\r\n"
        "</tr>\r\n"
        " <![endif]>\r\n"
        "</table>\r\n"
        "</body>\r\n"
        "</html>");

    EXPECT_EQ(BuildSpreadsheetDocument(table, {1}), expected);
}

TEST(SpreadsheetDocument, EscapesMarkupZeroWidthAndRowOrder) {
    runtime::MemoryTable table({{"A<1>", 40}, {"B&", 0}, {"C", 7}});
    for (int i = 0; i < 10; ++i) {
        table.AppendRows({{std::to_string(i), "<b>" + std::to_string(i) + "</b>", "x&y"}});
    }
    table.SetSelectedRows({5, 2, 9});

    const std::string document = BuildSpreadsheetDocument(table, table.SelectedRows());
    const std::string body = document.substr(XlsHeaderTemplate().size());

    const std::string row = "<tr height=19 style='mso-height-source:userset;height:14.25pt'> \r\n";
    auto Cells = [&](int i) {
        return row + "  <td height=19 style='height:14.25pt'>" + std::to_string(i) +
               "</td>\r\n<td>&lt;b&gt;" + std::to_string(i) +
               "&lt;/b&gt;</td>\r\n<td>x&amp;y</td>\r\n</tr>\r\n";
    };
    const std::string expected =
        "<table x:str border=0 cellpadding=0 cellspacing=0 width=35 "
        "style='border-collapse:   collapse;table-layout:fixed;width:26pt' u2:str>\r\n"
        " <col width=40 style='mso-width-source:userset;mso-width-alt:1280;width:30pt'>\r\n"
        " <col width=0 style='mso-width-source:userset;mso-width-alt:0;width:0pt'>\r\n"
        " <col width=7 style='mso-width-source:userset;mso-width-alt:224;width:5pt'>\r\n"
        " <tr height=19 style='mso-height-source:userset;height:14.25pt'>\r\n"
        "  <td width=40 style='width:30pt'>A&lt;1&gt;</td>\r\n"
        "  <td width=0 style='width:0pt'>B&amp;</td>\r\n"
        "  <td width=7 style='width:5pt'>C</td>\r\n"
        "</tr>\r\n" +
        Cells(2) + Cells(5) + Cells(9) + " <![endif]>\r\n</table>\r\n</body>\r\n</html>";
    EXPECT_EQ(body, expected);
}

TEST(SpreadsheetDocument, MissingRowGivesEmptyCells) {
    runtime::MemoryTable table({{"A", 10}, {"B", 10}});
    const std::string document = BuildSpreadsheetDocument(table, {3});
    EXPECT_NE(document.find("<td height=19 style='height:14.25pt'></td>\r\n<td></td>\r\n</tr>"),
              std::string::npos);
}

TEST(WholeFileWrite, ReplacesTheWholeFile) {
    TempFile file("an older and much longer content");
    ASSERT_TRUE(WriteWholeFile(file.Path(), std::string_view("new\0bytes\r\n", 11)));
    EXPECT_EQ(file.Read(), std::string("new\0bytes\r\n", 11));
    ASSERT_TRUE(WriteWholeFile(file.Path(), ""));
    EXPECT_EQ(file.Read(), "");
}

TEST(WholeFileWrite, ReportsEveryFailure) {
    TempFile missingFolder;
    const std::vector<std::filesystem::path> failing = {
        "",                                      // no name
        missingFolder.Path() / "sheet.xls",      // folder does not exist
        std::filesystem::temp_directory_path(),  // a folder, not a file
        "/dev/full",                             // every write fails
    };
    for (const auto& path : failing) {
        EXPECT_FALSE(WriteWholeFile(path, "some bytes")) << path;
    }
    EXPECT_FALSE(std::filesystem::exists(missingFolder.Path()));
}

}  // namespace
}  // namespace mofeng::app
