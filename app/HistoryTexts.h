#pragma once

#include <string>

// Fixed texts of the observation history, as GBK bytes.
namespace mofeng::app {

const std::string& ListingChangeCaption();  // "宝贝数量变化"
const std::string& ObservedDayCaption();    // "日期"
const std::string& SuggestWeightCaption();  // "联想热度"
const std::string& ClearHistoryLabel();     // "清除历史"

}  // namespace mofeng::app
