#include "query/QueryRow.h"

#include "net/PageText.h"
#include "net/PercentEncode.h"
#include "net/PolicyFetch.h"
#include "query/IndexMetrics.h"
#include "query/SearchResultCount.h"
#include "query/TrendSeries.h"
#include "runtime/CodePage.h"
#include "runtime/NumberOps.h"
#include "runtime/TextOps.h"

namespace mofeng::query {
namespace {

RowOutcome FromFetch(const net::PolicyFetchResult& fetched, bool found) {
    switch (fetched.outcome) {
        case net::FetchOutcome::Reply:
            return found ? RowOutcome::Normal : RowOutcome::NoData;
        case net::FetchOutcome::Blocked:
            return RowOutcome::Blocked;
        case net::FetchOutcome::Failed:
            break;
    }
    return RowOutcome::Failed;
}

std::string JoinSeries(const TrendSeries& series) {
    std::string joined;
    for (std::size_t i = 0; i < series.values.size(); ++i) {
        if (i > 0)
            joined += ',';
        joined += series.values[i];
    }
    return joined;
}

}  // namespace

RowResult QueryRow(const net::EndpointConfig& config, std::string_view keyword,
                   regex::RegexObject& regex, const runtime::CancelToken* cancel) {
    RowResult row;
    const std::string encoded = net::PercentEncodeUtf8(keyword);

    net::PolicyFetchResult trend = net::FetchWithPolicy(config.TrendUrl(encoded), cancel);
    const bool trendReplied = trend.outcome == net::FetchOutcome::Reply;
    TrendSeries series;
    if (trendReplied) {
        series =
            ParseTrendSeries(runtime::Utf8ToGbk(runtime::TextFromBytes(trend.last.body)), regex);
    }
    trend.last.body = std::string();  // not needed past here: the search page may be large
    const bool seriesFound = !series.values[0].empty();
    const RowOutcome trendOutcome = FromFetch(trend, seriesFound);
    if (cancel != nullptr && cancel->IsCancelled())
        return row;

    net::PolicyFetchResult search = net::FetchWithPolicy(config.SearchPageUrl(encoded), cancel);
    const bool searchReplied = search.outcome == net::FetchOutcome::Reply;
    std::optional<std::int32_t> count;
    if (searchReplied) {
        net::FetchedPage page{std::move(search.last.body), std::move(search.last.contentType)};
        count = FindListingCount(net::PageTextAsGbk(page));
    }
    const RowOutcome searchOutcome = FromFetch(search, count.has_value());

    if (trendReplied) {
        TrendFigures figures = ComputeTrendFigures(series);
        row.cells[1] = series.Yesterday();
        if (searchReplied)
            row.cells[4] = CompetitionText(figures.average, count.value_or(0));
        row.cells[2] = std::move(figures.average);
        row.cells[3] = std::move(figures.trend);
        row.cells[5] = std::move(figures.slope);
    }
    if (searchReplied)
        row.cells[0] = runtime::ToText(static_cast<int>(count.value_or(0)));
    row.outcome = Worse(trendOutcome, searchOutcome);
    row.reason = static_cast<int>(searchOutcome) > static_cast<int>(trendOutcome) ? search.reason
                                                                                  : trend.reason;
    if (seriesFound)
        row.series = JoinSeries(series);
    return row;
}

}  // namespace mofeng::query
