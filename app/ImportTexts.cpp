#include "app/ImportTexts.h"

#include "runtime/GbkTextTable.h"

namespace mofeng::app {

MOFENG_GBK_TEXT(NotRegularFileText, "不是普通文件，无法导入")
MOFENG_GBK_TEXT(TooLargeText, "文件超过1GB，无法导入")
MOFENG_GBK_TEXT(NotTextText, "无法识别此文件的内容")
MOFENG_GBK_TEXT(UnsupportedFormatText, "不支持的文件格式")
MOFENG_GBK_TEXT(NoKeywordsText, "未找到关键词")
MOFENG_GBK_TEXT(NoSuchSheetText, "找不到指定的工作表")
MOFENG_GBK_TEXT(FullWidthColon, "：")
MOFENG_GBK_TEXT(Biff8WorkbookName, "Excel 97-2003 工作簿")
MOFENG_GBK_TEXT(EncryptedWorkbookName, "加密的工作簿")
MOFENG_GBK_TEXT(UnrepresentableBefore, "其中 ")
MOFENG_GBK_TEXT(UnrepresentableAfter, " 个含 GBK 无法表示的字符，未查询")

}  // namespace mofeng::app
