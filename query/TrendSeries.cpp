#include "query/TrendSeries.h"

#include "net/HttpFetch.h"
#include "net/PercentEncode.h"
#include "runtime/CodePage.h"
#include "runtime/TextOps.h"

namespace mofeng::query {

TrendSeries ParseTrendSeries(std::string_view gbkText, regex::RegexObject& regex) {
    TrendSeries series;
    regex.Search(kTrendPattern, gbkText);
    if (regex.MatchCount() < 1) {
        return series;
    }
    for (int group = 1; group <= 7; ++group) {
        series.values[group - 1] = regex.SubMatchText(1, group);
    }
    return series;
}

TrendSeries FetchTrendSeries(const net::EndpointConfig& config, std::string_view keyword,
                             regex::RegexObject& regex, const runtime::CancelToken* cancel) {
    const std::string url = config.TrendUrl(net::PercentEncodeUtf8(keyword));
    const std::string body = net::HttpFetch(url, cancel);
    return ParseTrendSeries(runtime::Utf8ToGbk(runtime::TextViewFromBytes(body)), regex);
}

}  // namespace mofeng::query
