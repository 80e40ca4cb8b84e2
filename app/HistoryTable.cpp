#include "app/HistoryTable.h"

#include <algorithm>

#include "app/HistoryTexts.h"
#include "app/KeywordListColumns.h"

namespace mofeng::app {

HistoryTable BuildHistoryTable(const std::vector<Observation>& observations) {
    HistoryTable table;
    const auto& storage = KeywordListStorageColumns();
    table.columns.assign(storage.begin(), storage.begin() + kKeywordListColumnCount);
    table.columns[0] = {ObservedDayCaption(), 90};
    table.columns.push_back(storage[kKeywordListColumnCount]);  // 状态
    table.columns.back().second = 60;
    table.columns.push_back({ListingChangeCaption(), 100});
    table.columns.push_back({SuggestWeightCaption(), 80});
    table.columns.push_back(storage[columns::Index(columns::Column::Series)]);  // 七日指数
    table.columns.back().second = 200;
    const std::size_t fixed = table.columns.size();
    std::vector<std::string> market;
    for (const Observation& o : observations) {
        for (const auto& [caption, value] : o.market) {
            if (std::find(market.begin(), market.end(), caption) == market.end()) {
                market.push_back(caption);
                table.columns.push_back({caption, 90});
            }
        }
    }

    const std::string* previousKeyword = nullptr;
    std::string lastCount;  // the keyword's latest count so far
    for (const Observation& o : observations) {
        if (previousKeyword == nullptr || *previousKeyword != o.keyword) {
            lastCount.clear();
        }
        previousKeyword = &o.keyword;
        runtime::Row row(table.columns.size());
        row[0] = o.day;
        row[1] = o.keyword;
        std::copy_n(o.figures.begin(), std::min<std::size_t>(o.figures.size(), 6), row.begin() + 2);
        row[8] = o.outcome;
        const std::string& count = row[2];
        row[9] = ListingChangeText(lastCount, count);
        if (!count.empty()) {
            lastCount = count;
        }
        row[10] = o.suggestWeight;
        row[11] = o.series;
        for (const auto& [caption, value] : o.market) {
            const auto at = std::find(market.begin(), market.end(), caption) - market.begin();
            row[fixed + static_cast<std::size_t>(at)] = value;
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

}  // namespace mofeng::app
