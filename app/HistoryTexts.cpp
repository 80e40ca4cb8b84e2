#include "app/HistoryTexts.h"

#include "runtime/CodePage.h"

// The sources are UTF-8; each text is converted once, on first use.
#define MOFENG_GBK_TEXT(name, utf8)                               \
    const std::string& name() {                                   \
        static const std::string text = runtime::Utf8ToGbk(utf8); \
        return text;                                              \
    }

namespace mofeng::app {

MOFENG_GBK_TEXT(ListingChangeCaption, "宝贝数量变化")
MOFENG_GBK_TEXT(ObservedDayCaption, "日期")
MOFENG_GBK_TEXT(SuggestWeightCaption, "联想热度")
MOFENG_GBK_TEXT(ClearHistoryLabel, "清除历史")

}  // namespace mofeng::app
