#include "app/CheckTexts.h"

#include "runtime/GbkTextTable.h"

namespace mofeng::app {

MOFENG_GBK_TEXT(UsableVerdict, "可用")
MOFENG_GBK_TEXT(NeedsLoginVerdict, "需要登录")
MOFENG_GBK_TEXT(FormatChangedVerdict, "格式已变")
MOFENG_GBK_TEXT(UnreachableVerdict, "无法连接")
MOFENG_GBK_TEXT(RetiredVerdict, "已停用")

MOFENG_GBK_TEXT(SearchEndpointName, "搜索页")
MOFENG_GBK_TEXT(IndexEndpointName, "指数")
MOFENG_GBK_TEXT(SuggestEndpointName, "联想词")

MOFENG_GBK_TEXT(ListingCountFound, "宝贝数量")
MOFENG_GBK_TEXT(YesterdayIndexFound, "昨日指数")
MOFENG_GBK_TEXT(SuggestionsFound, "条联想词")

MOFENG_GBK_TEXT(NoListingCountReason, "搜索页中没有宝贝数量（totalHits）")
MOFENG_GBK_TEXT(NoSeriesReason, "回复中没有七日指数")
MOFENG_GBK_TEXT(NoSuggestionsReason, "回复中没有联想词")
MOFENG_GBK_TEXT(RedirectedReason, "重定向到其他地址：")

}  // namespace mofeng::app
