#include "query/IndexQueryRun.h"

#include <optional>
#include <string>
#include <vector>

#include "query/IndexMetrics.h"
#include "query/SearchResultCount.h"
#include "query/TrendSeries.h"
#include "regex/RegexObject.h"
#include "runtime/NumberOps.h"

namespace mofeng::query {

void IndexQueryRun(const net::EndpointConfig& config, runtime::Table& table,
                   runtime::Notifier& notifier, const runtime::CancelToken& cancel,
                   QueryObserver* observer) {
    regex::RegexObject regex;
    const std::vector<runtime::RowId> ids = table.RowIds();
    const int total = static_cast<int>(ids.size());
    if (observer != nullptr)
        observer->RunStarted(total);

    for (int done = 0; done < total; ++done) {
        if (cancel.IsCancelled())
            return;
        const runtime::RowId id = ids[static_cast<std::size_t>(done)];
        if (const std::optional<std::string> keyword = table.GetCellById(id, kKeywordColumn)) {
            const TrendSeries series = FetchTrendSeries(config, *keyword, regex, &cancel);
            if (cancel.IsCancelled())
                return;
            TrendFigures figures = ComputeTrendFigures(series);
            const std::int32_t count = SearchResultCount(config, *keyword, &cancel);
            if (cancel.IsCancelled())
                return;
            std::string competition = CompetitionText(figures.average, count);
            table.SetCellsById(id, kFirstMetricColumn,
                               {runtime::ToText(static_cast<int>(count)), series.Yesterday(),
                                std::move(figures.average), std::move(figures.trend),
                                std::move(competition), std::move(figures.slope)});
        }
        if (observer != nullptr)
            observer->RowFinished(done + 1, total);
    }
    if (cancel.IsCancelled())
        return;
    notifier.ShowMessage(std::string(kQueryDoneText), runtime::kMessageInformation);
}

}  // namespace mofeng::query
