#pragma once

#include <string>

// Fixed texts of the import, as GBK bytes.
namespace mofeng::app {

const std::string& NotRegularFileText();     // "不是普通文件，无法导入"
const std::string& TooLargeText();           // "文件超过1GB，无法导入"
const std::string& NotTextText();            // "无法识别此文件的内容"
const std::string& UnsupportedFormatText();  // "不支持的文件格式"
const std::string& NoKeywordsText();         // "未找到关键词"
const std::string& NoSuchSheetText();        // "找不到指定的工作表"
const std::string& FullWidthColon();         // "："
const std::string& Biff8WorkbookName();      // "Excel 97-2003 工作簿"
const std::string& EncryptedWorkbookName();  // "加密的工作簿"
const std::string& UnrepresentableBefore();  // "其中 "
const std::string& UnrepresentableAfter();   // " 个含 GBK 无法表示的字符，未查询"

}  // namespace mofeng::app
