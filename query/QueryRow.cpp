#include "query/QueryRow.h"

#include "net/H5ListingCount.h"
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
    if (fetched.hostUnavailable) {
        return RowOutcome::Partial;
    }
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

// The host of a lookup that failed to connect while the other one answered.
std::string FailedHost(const net::PolicyFetchResult& failed, RowOutcome other) {
    const bool answered = other == RowOutcome::Normal || other == RowOutcome::NoData;
    if (!answered || failed.outcome != net::FetchOutcome::Failed || failed.hostUnavailable ||
        !net::IsConnectionFailure(failed.last.error)) {
        return {};
    }
    return net::HostKey(failed.last.finalUrl);
}

std::string JoinSeries(const TrendSeries& series) {
    std::string joined;
    for (std::size_t i = 0; i < series.values.size(); ++i) {
        if (i > 0) {
            joined += ',';
        }
        joined += series.values[i];
    }
    return joined;
}

// What FetchWithPolicy gives for a URL over the length limit, without the
// URL being built: a keyword longer than the limit makes any URL longer
// still (percent-encoding never shrinks it), and it only goes into the query
// part, so urlWithoutKeyword has the path the outcome is judged by.
net::PolicyFetchResult RefusedAsTooLong(std::string urlWithoutKeyword) {
    net::PolicyFetchResult fetched;
    fetched.last.error = net::TransportError::UrlTooLong;
    fetched.last.finalUrl = std::move(urlWithoutKeyword);
    fetched.outcome = net::ClassifyFetch(fetched.last);
    fetched.reason = net::FailureReason(fetched.last, fetched.outcome);
    return fetched;
}

}  // namespace

RowResult QueryRow(const net::EndpointConfig& config, std::string_view keyword,
                   regex::RegexObject& regex, const runtime::CancelToken* cancel,
                   net::HostAvailability* hosts) {
    RowResult row;
    if (runtime::HoldsNoGbkFormMark(keyword)) {
        // The import put the mark where the file had a character GBK cannot
        // hold: the keyword Taobao would get is not the seller's.
        row.reason = std::string(kNoGbkFormReason);
        return row;
    }
    const bool sendable = keyword.size() <= net::kMaxUrlBytes;
    const std::string encoded = sendable ? net::PercentEncodeUtf8(keyword) : std::string();

    net::PolicyFetchResult trend =
        sendable ? net::FetchWithPolicy(config.TrendUrl(encoded), cancel, hosts)
                 : RefusedAsTooLong(config.TrendUrl({}));
    const bool trendReplied = trend.outcome == net::FetchOutcome::Reply;
    TrendSeries series;
    if (trendReplied) {
        // One large text at a time: the reply goes once it is GBK, the GBK
        // text once the regex holds its own UTF-8 copy, and that copy once
        // the values are read. The search page may be just as large.
        std::string text = runtime::Utf8ToGbk(runtime::TextViewFromBytes(trend.last.body));
        runtime::ReleaseText(trend.last.body);
        series = ParseTrendSeries(text, regex);
        regex.ReleaseSubject();
    }
    runtime::ReleaseText(trend.last.body);
    const bool seriesFound = !series.values[0].empty();
    const RowOutcome trendOutcome = FromFetch(trend, seriesFound);
    if (cancel != nullptr && cancel->IsCancelled()) {
        return row;
    }

    net::PolicyFetchResult search;
    std::optional<std::int32_t> count;
    if (!sendable) {
        search = RefusedAsTooLong(config.ListingCountBase());
    } else if (config.searchSource == net::SearchSource::H5) {
        net::H5CountLookup h5 = net::FetchH5ListingCount(
            config.h5Base, config.h5, keyword, config.SearchPageUrl(encoded), cancel, hosts);
        search = std::move(h5.fetched);
        count = h5.count;
    } else {
        search = net::FetchWithPolicy(config.SearchPageUrl(encoded), cancel, hosts);
        if (search.outcome == net::FetchOutcome::Reply) {
            count = FindListingCount(net::PageTextAsGbk(
                net::FetchedPage{std::move(search.last.body), std::move(search.last.contentType)}));
        }
    }
    const bool searchReplied = search.outcome == net::FetchOutcome::Reply;
    const RowOutcome searchOutcome = FromFetch(search, count.has_value());

    if (trendReplied) {
        TrendFigures figures = ComputeTrendFigures(series);
        row.yesterday = series.Yesterday();
        if (searchReplied) {
            row.competition = CompetitionText(figures.average, count.value_or(0));
        }
        row.average = std::move(figures.average);
        row.trend = std::move(figures.trend);
        row.slope = std::move(figures.slope);
    }
    if (searchReplied) {
        row.listingCount = runtime::ToText(static_cast<int>(count.value_or(0)));
    }
    row.outcome = trend.hostUnavailable && search.hostUnavailable
                      ? RowOutcome::Failed
                      : Worse(trendOutcome, searchOutcome);
    row.reason = static_cast<int>(searchOutcome) > static_cast<int>(trendOutcome) ? search.reason
                                                                                  : trend.reason;
    row.failedHost = FailedHost(trend, searchOutcome);
    if (row.failedHost.empty()) {
        row.failedHost = FailedHost(search, trendOutcome);
    }
    if (seriesFound) {
        row.series = JoinSeries(series);
    }
    return row;
}

}  // namespace mofeng::query
