#pragma once

#include <string>

// Fixed texts of the endpoint check, as GBK bytes.
namespace mofeng::app {

const std::string& UsableVerdict();         // "可用"
const std::string& NeedsLoginVerdict();     // "需要登录"
const std::string& FormatChangedVerdict();  // "格式已变"
const std::string& UnreachableVerdict();    // "无法连接"
const std::string& RetiredVerdict();        // "已停用"

const std::string& SearchEndpointName();   // "搜索页"
const std::string& IndexEndpointName();    // "指数"
const std::string& SuggestEndpointName();  // "联想词"

const std::string& ListingCountFound();    // "宝贝数量", then " N"
const std::string& YesterdayIndexFound();  // "昨日指数", then " N"
const std::string& SuggestionsFound();     // "N " first, then "条联想词"

const std::string& NoListingCountReason();  // "搜索页中没有宝贝数量（totalHits）"
const std::string& NoSeriesReason();        // "回复中没有七日指数"
const std::string& NoSuggestionsReason();   // "回复中没有联想词"
const std::string& RedirectedReason();      // "重定向到其他地址：", then the origin

}  // namespace mofeng::app
