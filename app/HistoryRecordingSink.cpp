#include "app/HistoryRecordingSink.h"

#include "app/HistoryRows.h"
#include "query/IndexQueryRun.h"
#include "query/RowOutcome.h"

namespace mofeng::app {

HistoryRecordingSink::HistoryRecordingSink(query::QuerySink& inner, SessionWriter& writer,
                                           const std::vector<query::QueryRowInput>& rows,
                                           std::string day)
    : m_inner(inner), m_writer(writer), m_day(std::move(day)) {
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
            SessionBatch batch;
            batch.observations.push_back(std::move(*observation));
            m_writer.Post(std::move(batch));
        }
    }
    m_inner.RowResult(id, firstColumn, std::move(cells));
}

}  // namespace mofeng::app
