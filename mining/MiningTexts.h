#pragma once

#include <string>

// Fixed texts of keyword mining, as GBK bytes.
namespace mofeng::mining {

// Status label after each suggestion level, and when the third has ended.
const std::string& LevelOneLabel();    // "一级淘词"
const std::string& LevelTwoLabel();    // "二级淘词"
const std::string& LevelThreeLabel();  // "三级淘词"
const std::string& MiningDoneLabel();  // "淘词完毕"
// Status label when a run stops because the list holds the row limit.
const std::string& RowLimitLabel();  // "已达行数上限，淘词停止"

// Shown (information icon) when a run is started with no must-contain text.
const std::string& MustContainMissingMessage();
// Shown (information icon) when the must-contain text grows past two bytes.
const std::string& MustContainTooLongMessage();
// Shown (information icon) when a run is started while another is active.
const std::string& RunInProgressMessage();
// Export outcome (no icon) and the send-to-main-window message (information icon).
const std::string& SaveSucceededMessage();
const std::string& SaveFailedMessage();
const std::string& SentToMainWindowMessage();
// Caption of the mining list's weight column.
const std::string& SuggestWeightCaption();  // "联想热度"

}  // namespace mofeng::mining
