#include "query/IndexQueryRun.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "query/IndexMetrics.h"
#include "query/SearchResultCount.h"
#include "query/TrendSeries.h"
#include "regex/RegexObject.h"
#include "runtime/NumberOps.h"
#include "runtime/ParallelRun.h"

namespace mofeng::query {
namespace {

// Columns 2 to 7 of one keyword: trend request, then search request.
// nullopt once cancelled.
std::optional<std::vector<std::string>> QueryRowCells(const net::EndpointConfig& config,
                                                      const std::string& keyword,
                                                      regex::RegexObject& regex,
                                                      const runtime::CancelToken& cancel) {
    const TrendSeries series = FetchTrendSeries(config, keyword, regex, &cancel);
    if (cancel.IsCancelled())
        return std::nullopt;
    TrendFigures figures = ComputeTrendFigures(series);
    const std::int32_t count = SearchResultCount(config, keyword, &cancel);
    if (cancel.IsCancelled())
        return std::nullopt;
    std::string competition = CompetitionText(figures.average, count);
    return std::vector<std::string>{runtime::ToText(static_cast<int>(count)),
                                    series.Yesterday(),
                                    std::move(figures.average),
                                    std::move(figures.trend),
                                    std::move(competition),
                                    std::move(figures.slope)};
}

// Writes results into a table by row id and passes progress on.
class TableQuerySink final : public QuerySink {
public:
    TableQuerySink(runtime::Table& table, QueryObserver* observer)
        : m_table(table), m_observer(observer) {}

    void RunStarted(int total) override {
        if (m_observer != nullptr)
            m_observer->RunStarted(total);
    }
    bool RowExists(runtime::RowId id) override {
        return m_table.GetCellById(id, kKeywordColumn).has_value();
    }
    void RowResult(runtime::RowId id, std::vector<std::string> cells) override {
        m_table.SetCellsById(id, kFirstMetricColumn, std::move(cells));
    }
    void RowFinished(int done, int total) override {
        if (m_observer != nullptr)
            m_observer->RowFinished(done, total);
    }

private:
    runtime::Table& m_table;
    QueryObserver* m_observer;
};

}  // namespace

void IndexQueryRun(const QueryRunInput& input, QuerySink& sink, runtime::Notifier& notifier,
                   const runtime::CancelToken& cancel) {
    const int total = static_cast<int>(input.rows.size());
    const int jobs = runtime::ClampJobs(input.jobs);
    sink.RunStarted(total);

    // One regex object per worker; sink calls are serialised here.
    std::vector<std::unique_ptr<regex::RegexObject>> regexes(static_cast<std::size_t>(jobs));
    std::mutex sinkMutex;
    int done = 0;
    runtime::ForEachInParallel(input.rows.size(), jobs, cancel, [&](int worker, std::size_t item) {
        const QueryRowInput& row = input.rows[item];
        bool exists = false;
        {
            std::lock_guard lock(sinkMutex);
            exists = sink.RowExists(row.id);
        }
        std::optional<std::vector<std::string>> cells;
        if (exists) {
            auto& regex = regexes[static_cast<std::size_t>(worker)];
            if (!regex)
                regex = std::make_unique<regex::RegexObject>();
            cells = QueryRowCells(input.endpoints, row.keyword, *regex, cancel);
            if (!cells)
                return;  // cancelled
        }
        std::lock_guard lock(sinkMutex);
        if (cancel.IsCancelled())
            return;
        if (cells)
            sink.RowResult(row.id, std::move(*cells));
        sink.RowFinished(++done, total);
    });
    if (cancel.IsCancelled())
        return;
    notifier.ShowMessage(std::string(kQueryDoneText), runtime::kMessageInformation);
}

void IndexQueryRun(const net::EndpointConfig& config, runtime::Table& table,
                   runtime::Notifier& notifier, const runtime::CancelToken& cancel,
                   QueryObserver* observer, int jobs) {
    QueryRunInput input;
    input.endpoints = config;
    input.jobs = jobs;
    for (const runtime::RowId id : table.RowIds()) {
        if (std::optional<std::string> keyword = table.GetCellById(id, kKeywordColumn))
            input.rows.push_back({id, std::move(*keyword)});
    }
    TableQuerySink sink(table, observer);
    IndexQueryRun(input, sink, notifier, cancel);
}

}  // namespace mofeng::query
