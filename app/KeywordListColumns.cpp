#include "app/KeywordListColumns.h"

namespace mofeng::app {

const std::vector<std::pair<std::string, int>>& KeywordListColumns() {
    static const std::vector<std::pair<std::string, int>> columns = {
        {"\xD0\xF2\xBA\xC5", 55},                                   // 序号
        {"\xB9\xD8\xBC\xFC\xB4\xCA", 160},                          // 关键词
        {"\xB1\xA6\xB1\xB4\xCA\xFD\xC1\xBF", 100},                  // 宝贝数量
        {"\xD7\xF2\xC8\xD5\xCB\xD1\xCB\xF7\xD6\xB8\xCA\xFD", 110},  // 昨日搜索指数
        {"7\xCC\xEC\xC6\xBD\xBE\xF9\xD6\xB8\xCA\xFD", 120},         // 7天平均指数
        {"\xD6\xB8\xCA\xFD\xC7\xF7\xCA\xC6", 100},                  // 指数趋势
        {"\xBE\xBA\xD5\xF9\xB1\xB6\xCA\xFD", 100},                  // 竞争倍数
        {"\xC7\xF7\xCA\xC6\xB1\xC8(\xD0\xB1\xC2\xCA)", 100},        // 趋势比(斜率)
    };
    return columns;
}

const std::vector<std::pair<std::string, int>>& KeywordListStorageColumns() {
    static const std::vector<std::pair<std::string, int>> columns = [] {
        std::vector<std::pair<std::string, int>> all = KeywordListColumns();
        all.emplace_back("\xD7\xB4\xCC\xAC", 0);                  // 状态
        all.emplace_back("\xD4\xAD\xD2\xF2", 0);                  // 原因
        all.emplace_back("\xC6\xDF\xC8\xD5\xD6\xB8\xCA\xFD", 0);  // 七日指数
        all.emplace_back("\xCA\xFD\xBE\xDD\xCA\xB1\xBC\xE4", 0);  // 数据时间
        return all;
    }();
    return columns;
}

std::vector<int> InitialWidths(const std::vector<std::pair<std::string, int>>& columns) {
    std::vector<int> widths;
    widths.reserve(columns.size());
    for (const auto& column : columns) {
        widths.push_back(column.second);
    }
    return widths;
}

}  // namespace mofeng::app
