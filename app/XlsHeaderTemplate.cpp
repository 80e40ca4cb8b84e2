#include <string>
#include <string_view>

#include "app/SpreadsheetExport.h"
#include "runtime/CodePage.h"

namespace mofeng::app {
namespace {

// The header every exported sheet starts with, kept here as UTF-8 with LF
// line ends: 207 lines, 6,232 bytes once converted to GBK with CR LF.
constexpr std::string_view kTemplateUtf8 =
    R"xls(<html xmlns:o="urn:schemas-microsoft-com:office:office"
xmlns:x="urn:schemas-microsoft-com:office:excel"
xmlns:u1="“urn:schemas-microsoft-com:office:office”"
xmlns:u2="“urn:schemas-microsoft-com:office:excel”"
xmlns="http://www.w3.org/TR/REC-html40">

<head>
<meta http-equiv=Content-Type content="text/html; charset=GB2312">
<meta name=ProgId content=Excel.Sheet>
<meta name=Generator content="Microsoft Excel 9">
<link rel=File-List href="./ET2.files/filelist.xml">
<link rel=Edit-Time-Data href="./ET2.files/editdata.mso">
<link rel=OLE-Object-Data href="./ET2.files/oledata.mso">
<!--[if gte mso 9]><xml>
 <o:DocumentProperties>
  <o:LastAuthor>mf</o:LastAuthor>
  <o:LastSaved>2004-08-13T08:17:20Z</o:LastSaved>
  <o:Version>9.2812</o:Version>
 </o:DocumentProperties>
</xml><![endif]-->
<style>
<!-table
	{mso-displayed-decimal-separator:"“.”";
	mso-displayed-thousand-separator:"“，”";}
table
	{mso-displayed-decimal-separator:"\.";
	mso-displayed-thousand-separator:"\,";}
@page
	{margin:1.0in .75in 1.0in .75in;
	mso-header-margin:.5in;
	mso-footer-margin:.5in;}
tr
	{mso-height-source:auto;}
col
	{mso-width-source:auto;}
br
	{mso-data-placement:same-cell;}
.style0
	{mso-number-format:General;
	text-align:general;
	vertical-align:bottom;
	white-space:nowrap;
	mso-rotate:0;
	mso-background-source:auto;
	mso-pattern:auto;
	color:windowtext;
	font-size:12.0pt;
	font-weight:400;
	font-style:normal;
	text-decoration:none;
	font-family:宋体;
	mso-generic-font-family:auto;
	mso-font-charset:134;
	border:none;
	mso-protection:locked visible;
	mso-style-name:常规;
	mso-style-id:0;}
td
	{mso-style-parent:style0;
	padding-top:1px;
	padding-right:1px;
	padding-left:1px;
	mso-ignore:padding;
	color:windowtext;
	font-size:12.0pt;
	font-weight:400;
	font-style:normal;
	text-decoration:none;
	font-family:宋体;
	mso-generic-font-family:auto;
	mso-font-charset:134;
	mso-number-format:General;
	text-align:general;
	vertical-align:bottom;
	border:none;
	mso-background-source:auto;
	mso-pattern:auto;
	mso-protection:locked visible;
	white-space:nowrap;
	mso-rotate:0;}
ruby
	{ruby-align:left;}
rt
	{color:windowtext;
	font-size:9.0pt;
	font-weight:400;
	font-style:normal;
	text-decoration:none;
	font-family:宋体;
	mso-generic-font-family:auto;
	mso-font-charset:134;
	mso-char-type:none;
	display:none;}
-->
</style>
<!--[if gte mso 9]><xml>
 <x:ExcelWorkbook>
  <x:ExcelWorksheets>
   <x:ExcelWorksheet>
    <x:Name>Sheet1</x:Name>
    <x:WorksheetOptions>
     <x:DefaultRowHeight>285</x:DefaultRowHeight>
     <x:Selected/>
     <x:Panes>
      <x:Pane>
       <x:Number>3</x:Number>
       <x:ActiveCol>1</x:ActiveCol>
      </x:Pane>
     </x:Panes>
     <x:ProtectContents>False</x:ProtectContents>
     <x:ProtectObjects>False</x:ProtectObjects>
     <x:ProtectScenarios>False</x:ProtectScenarios>
    </x:WorksheetOptions>
   </x:ExcelWorksheet>
   <x:ExcelWorksheet>
    <x:Name>Sheet2</x:Name>
    <x:WorksheetOptions>
     <x:DefaultRowHeight>285</x:DefaultRowHeight>
     <x:ProtectContents>False</x:ProtectContents>
     <x:ProtectObjects>False</x:ProtectObjects>
     <x:ProtectScenarios>False</x:ProtectScenarios>
    </x:WorksheetOptions>
   </x:ExcelWorksheet>
   <x:ExcelWorksheet>
    <x:Name>Sheet3</x:Name>
    <x:WorksheetOptions>
     <x:DefaultRowHeight>285</x:DefaultRowHeight>
     <x:ProtectContents>False</x:ProtectContents>
     <x:ProtectObjects>False</x:ProtectObjects>
     <x:ProtectScenarios>False</x:ProtectScenarios>
    </x:WorksheetOptions>
   </x:ExcelWorksheet>
  </x:ExcelWorksheets>
  <x:WindowHeight>9030</x:WindowHeight>
  <x:WindowWidth>14985</x:WindowWidth>
  <x:WindowTopX>120</x:WindowTopX>
  <x:WindowTopY>30</x:WindowTopY>
  <x:ProtectStructure>False</x:ProtectStructure>
  <x:ProtectWindows>False</x:ProtectWindows>
 </x:ExcelWorkbook>
</xml><![endif]-->
<!--[if gte mso 9]><xml>
 <u1:DocumentProperties>
  <u1:Author>mf</u1:Author>
  <u1:LastAuthor>mf</u1:LastAuthor>
  <u1:Created>2002-09-15T13:04:16Z</u1:Created>
  <u1:LastSaved>2002-09-15T13:17:58Z</u1:LastSaved>
  <u1:Company>墨枫工作室</u1:Company>
  <u1:Version>9.2812</u1:Version>
 </u1:DocumentProperties>
</xml><![endif]-->
<!--[if gte mso 9]><xml>
 <u1:OfficeDocumentSettings>
  <u1:DownloadComponents/>
  <u1:LocationOfComponents HRef="file:///C:/Program%20Files/Common%20Files/Office%20Components/owc9.cab"/>
 </u1:OfficeDocumentSettings>
</xml><![endif]-->
<!--[if gte mso 9]><xml>
 <u2:ExcelWorkbook>
  <u2:ExcelWorksheets>
   <u2:ExcelWorksheet>
    <u2:Name>Sheet1</u2:Name>
    <u2:WorksheetOptions>
     <u2:DefaultRowHeight>345</u2:DefaultRowHeight>
     <u2:Selected/>
     <u2:ProtectContents>False</u2:ProtectContents>
     <u2:ProtectObjects>False</u2:ProtectObjects>
     <u2:ProtectScenarios>False</u2:ProtectScenarios>
    </u2:WorksheetOptions>
   </u2:ExcelWorksheet>
   <u2:ExcelWorksheet>
    <u2:Name>Sheet2</u2:Name>
    <u2:WorksheetOptions>
     <u2:DefaultRowHeight>285</u2:DefaultRowHeight>
     <u2:ProtectContents>False</u2:ProtectContents>
     <u2:ProtectObjects>False</u2:ProtectObjects>
     <u2:ProtectScenarios>False</u2:ProtectScenarios>
    </u2:WorksheetOptions>
   </u2:ExcelWorksheet>
   <u2:ExcelWorksheet>
    <u2:Name>Sheet3</u2:Name>
    <u2:WorksheetOptions>
     <u2:DefaultRowHeight>285</u2:DefaultRowHeight>
     <u2:Panes>
      <u2:Pane>
       <u2:Number>3</u2:Number>
       <u2:ActiveRow>26</u2:ActiveRow>
       <u2:ActiveCol>2</u2:ActiveCol>
      </u2:Pane>
     </u2:Panes>
     <u2:ProtectContents>False</u2:ProtectContents>
     <u2:ProtectObjects>False</u2:ProtectObjects>
     <u2:ProtectScenarios>False</u2:ProtectScenarios>
    </u2:WorksheetOptions>
   </u2:ExcelWorksheet>
  </u2:ExcelWorksheets>
  <u2:WindowHeight>9255</u2:WindowHeight>
  <u2:WindowWidth>14985</u2:WindowWidth>
  <u2:WindowTopX>120</u2:WindowTopX>
  <u2:WindowTopY>60</u2:WindowTopY>
  <u2:ProtectStructure>False</u2:ProtectStructure>
  <u2:ProtectWindows>False</u2:ProtectWindows>
 </u2:ExcelWorkbook>
</xml><![endif]-->
</head>

<body link=blue vlink=purple>
)xls";

std::string MakeTemplate() {
    // GBK trail bytes are >= 0x40, so every 0x0A byte is a line end.
    const std::string gbk = runtime::Utf8ToGbk(kTemplateUtf8);
    std::string withCrLf;
    withCrLf.reserve(gbk.size() + 256);
    for (char c : gbk) {
        if (c == '\n') {
            withCrLf += '\r';
        }
        withCrLf += c;
    }
    return withCrLf;
}

}  // namespace

std::string_view XlsHeaderTemplate() {
    static const std::string kTemplate = MakeTemplate();  // thread-safe first use
    return kTemplate;
}

}  // namespace mofeng::app
