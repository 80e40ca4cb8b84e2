#include "app/HistoryTexts.h"

#include "runtime/GbkTextTable.h"

namespace mofeng::app {

MOFENG_GBK_TEXT(ListingChangeCaption, "宝贝数量变化")
MOFENG_GBK_TEXT(ObservedDayCaption, "日期")
MOFENG_GBK_TEXT(SuggestWeightCaption, "联想热度")
MOFENG_GBK_TEXT(ClearHistoryLabel, "清除历史")

}  // namespace mofeng::app
