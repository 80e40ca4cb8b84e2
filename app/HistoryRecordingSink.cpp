#include "app/HistoryRecordingSink.h"

#include "app/HistoryRows.h"
#include "columns/KeywordListSchema.h"
#include "query/IndexQueryRun.h"
#include "query/RowOutcome.h"

namespace mofeng::app {

HistoryRecordingSink::HistoryRecordingSink(query::QuerySink& inner, SessionWriter& writer,
                                           const std::vector<query::QueryRowInput>& rows,
                                           std::string day,
                                           std::unordered_map<runtime::RowId, MarketFigures> market)
    : m_inner(inner), m_writer(writer), m_market(std::move(market)), m_day(std::move(day)) {
    for (const query::QueryRowInput& row : rows) {
        m_keywords.emplace(row.id, row.keyword);
    }
}

void HistoryRecordingSink::RowResult(runtime::RowId id, int firstColumn,
                                     std::vector<std::string> cells) {
    const auto keyword = m_keywords.find(id);
    if (firstColumn == query::kFirstMetricColumn && keyword != m_keywords.end()) {
        // The row as the list stores it, so the list's rule decides what is recorded.
        runtime::Row stored(query::kFirstMetricColumn);
        stored[query::kKeywordColumn] = keyword->second;
        stored.insert(stored.end(), cells.begin(), cells.end());
        if (std::optional<Observation> observation = ObservationOfRow(stored, m_day)) {
            if (const auto market = m_market.find(id); market != m_market.end()) {
                observation->market = market->second;
            }
            File(id, std::move(*observation));
        }
    } else if (firstColumn == columns::Index(columns::Column::SuggestWeight) && !cells.empty()) {
        if (const auto filed = m_filed.find(id); filed != m_filed.end()) {
            Observation again = filed->second;
            again.suggestWeight = cells.front();
            File(id, std::move(again));
        }
    }
    m_inner.RowResult(id, firstColumn, std::move(cells));
}

void HistoryRecordingSink::File(runtime::RowId id, Observation observation) {
    m_filed.insert_or_assign(id, observation);
    SessionBatch batch;
    batch.observations.push_back(std::move(observation));
    m_writer.Post(std::move(batch));
}

}  // namespace mofeng::app
