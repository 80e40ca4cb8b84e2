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

using namespace std::string_literals;
using runtime::Utf8ToGbk;

int Count(std::string_view text, std::string_view sought) {
    int count = 0;
    for (auto at = text.find(sought); at != text.npos; at = text.find(sought, at + 1)) {
        ++count;
    }
    return count;
}

TEST(XlsHeaderTemplate, HasItsFixedShapeAndValues) {
    const std::string head(XlsHeaderTemplate());
    EXPECT_EQ(head.size(), 6232u);
    EXPECT_EQ(Count(head, "\r\n"), 207);
    EXPECT_EQ(Count(head, "\n") + Count(head, "\r"), 2 * 207) << "a bare CR or LF";
    EXPECT_TRUE(head.ends_with("</head>\r\n\r\n<body link=blue vlink=purple>\r\n"));
    EXPECT_EQ(runtime::GbkToUtf8(head).find("\xEF\xBF\xBD"), std::string::npos) << "not GBK";
    for (const std::string& value :
         {"charset=GB2312"s, "2004-08-13T08:17:20Z"s, "2002-09-15T13:04:16Z"s,
          "2002-09-15T13:17:58Z"s, "./ET2.files/oledata.mso"s, "http://www.w3.org/TR/REC-html40"s,
          Utf8ToGbk("xmlns:u2=\"“urn:schemas-microsoft-com:office:excel”\""),
          "mso-displayed-thousand-separator:\"\\,\""s, "margin:1.0in .75in 1.0in .75in"s,
          Utf8ToGbk("font-family:宋体"), Utf8ToGbk("mso-style-name:常规"), "<x:WindowHeight>9030<"s,
          "<x:WindowTopY>30<"s, "<u2:WindowHeight>9255<"s, "<u2:WindowTopY>60<"s,
          "<u2:DefaultRowHeight>345<"s, "<u2:ActiveRow>26<"s}) {
        EXPECT_NE(head.find(value), std::string::npos) << value;
    }
    EXPECT_EQ(Count(head, ">9.2812<"), 2);
    EXPECT_EQ(Count(head, ">False<"), 22);
    EXPECT_EQ(Count(head, "<!--[if gte mso 9]><xml>\r\n"), 5);
}

TEST(SpreadsheetDocument, SmallListIsByteExact) {
    runtime::MemoryTable table({{Utf8ToGbk("序号"), 55}, {"<A&B>", 0}, {"C", 160}});
    for (int i = 0; i < 10; ++i) {
        table.AppendRows({{std::to_string(i), "<b>x&y</b>", Utf8ToGbk("连衣裙")}});
    }

    auto Row = [](int i) {
        return "<tr height=19 style='mso-height-source:userset;height:14.25pt'> \r\n"
               "  <td height=19 style='height:14.25pt'>" +
               std::to_string(i) + "</td>\r\n<td>&lt;b&gt;x&amp;y&lt;/b&gt;</td>\r\n<td>" +
               Utf8ToGbk("连衣裙") + "</td>\r\n</tr>\r\n";
    };
    const std::string expected =
        std::string(XlsHeaderTemplate()) +
        "<table x:str border=0 cellpadding=0 cellspacing=0 width=161 "
        "style='border-collapse:   collapse;table-layout:fixed;width:121pt' u2:str>\r\n"
        " <col width=55 style='mso-width-source:userset;mso-width-alt:1760;width:41pt'>\r\n"
        " <col width=0 style='mso-width-source:userset;mso-width-alt:0;width:0pt'>\r\n"
        " <col width=160 style='mso-width-source:userset;mso-width-alt:5120;width:120pt'>\r\n"
        " <tr height=19 style='mso-height-source:userset;height:14.25pt'>\r\n"
        "  <td width=55 style='width:41pt'>" +
        Utf8ToGbk("序号") +
        "</td>\r\n"
        "  <td width=0 style='width:0pt'>&lt;A&amp;B&gt;</td>\r\n"
        "  <td width=160 style='width:120pt'>C</td>\r\n"
        "</tr>\r\n" +
        Row(2) + Row(5) + Row(9) + " <![endif]>\r\n</table>\r\n</body>\r\n</html>";

    EXPECT_EQ(BuildSpreadsheetDocument(table, {2, 5, 9}, {55, 0, 160}), expected);
}

TEST(SpreadsheetDocument, KeywordListWidths) {
    runtime::MemoryTable table({{"0", 55},
                                {"1", 160},
                                {"2", 100},
                                {"3", 110},
                                {"4", 120},
                                {"5", 100},
                                {"6", 100},
                                {"7", 100}});
    const std::string document =
        BuildSpreadsheetDocument(table, {}, {55, 160, 100, 110, 120, 100, 100, 100});
    EXPECT_NE(document.find(" width=635 style='border-collapse:   collapse;table-layout:fixed;"
                            "width:477pt' u2:str>\r\n <col width=55 style='mso-width-source:"
                            "userset;mso-width-alt:1760;width:41pt'>\r\n"),
              std::string::npos);
    EXPECT_EQ(Count(document, " <col width="), 8);
    EXPECT_TRUE(document.ends_with("</tr>\r\n <![endif]>\r\n</table>\r\n</body>\r\n</html>"));
}

TEST(WholeFileWrite, ReplacesTheWholeFile) {
    test::TempFile file("an older and much longer content");
    ASSERT_TRUE(WriteWholeFile(file.Path(), std::string_view("new\0bytes\r\n", 11)));
    EXPECT_EQ(file.Read(), std::string("new\0bytes\r\n", 11));
}

TEST(WholeFileWrite, ReportsEveryFailure) {
    test::TempFile missingFolder;
    for (const std::filesystem::path& path :
         {std::filesystem::path(), missingFolder.Path() / "sheet.xls",
          std::filesystem::temp_directory_path(), std::filesystem::path("/dev/full")}) {
        EXPECT_FALSE(WriteWholeFile(path, "some bytes")) << path;
    }
}

}  // namespace
}  // namespace mofeng::app
