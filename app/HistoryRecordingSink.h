#pragma once

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "app/Observation.h"
#include "app/SessionWriter.h"
#include "query/QuerySink.h"

namespace mofeng::app {

// A query sink that passes everything on to `inner` and files every row that
// ends with figures (正常, 无数据) as the day's observation of its keyword,
// posted to the session writer: the database work happens on the writer's
// thread, never on the caller's. Rows are known by the run's input; their
// market figures, taken from the list when the run starts, go with them. A
// 联想热度 reported after a row's figures files that observation again with it.
class HistoryRecordingSink final : public query::QuerySink {
public:
    using MarketFigures = std::vector<std::pair<std::string, std::string>>;

    HistoryRecordingSink(query::QuerySink& inner, SessionWriter& writer,
                         const std::vector<query::QueryRowInput>& rows, std::string day,
                         std::unordered_map<runtime::RowId, MarketFigures> market = {});

    void RunStarted(int total) override { m_inner.RunStarted(total); }
    bool RowExists(runtime::RowId id) override { return m_inner.RowExists(id); }
    void RowResult(runtime::RowId id, int firstColumn, std::vector<std::string> cells) override;
    void RowFinished(int done, int total) override { m_inner.RowFinished(done, total); }
    bool ResumeAfterBlocked(int streak) override { return m_inner.ResumeAfterBlocked(streak); }

private:
    // Posts the day's observation of the row (the latest of a day wins).
    void File(runtime::RowId id, Observation observation);

    query::QuerySink& m_inner;
    SessionWriter& m_writer;
    std::unordered_map<runtime::RowId, std::string> m_keywords;
    std::unordered_map<runtime::RowId, MarketFigures> m_market;
    std::unordered_map<runtime::RowId, Observation> m_filed;
    const std::string m_day;
};

}  // namespace mofeng::app
