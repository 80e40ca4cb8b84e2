#include "app/EndpointCheck.h"

#include <array>

#include "app/CheckTexts.h"
#include "mining/KeywordSources.h"
#include "net/FetchSettings.h"
#include "net/HttpFetch.h"
#include "net/PageText.h"
#include "net/PercentEncode.h"
#include "net/PolicyFetch.h"
#include "query/SearchResultCount.h"
#include "query/TrendSeries.h"
#include "regex/RegexObject.h"

namespace mofeng::app {
namespace {

using Text = const std::string& (*)();

// In the order of EndpointVerdict.
constexpr std::array<Text, 5> kVerdictTexts = {
    UsableVerdict, NeedsLoginVerdict, FormatChangedVerdict, UnreachableVerdict, RetiredVerdict};

// scheme://host[:port] of url, for a reason that must not quote a query.
std::string OriginOf(std::string_view url) {
    const std::size_t scheme = url.find("://");
    const std::size_t end =
        url.find_first_of("/?#", scheme == std::string_view::npos ? 0 : scheme + 3);
    return std::string(url.substr(0, end));
}

// What the lookups read from a reply that came: the reason of 可用, or
// nothing when the value is missing.
bool ReadsTheValue(CheckedEndpoint endpoint, const net::FetchResult& fetched, std::string& found) {
    net::FetchedPage page{fetched.body, fetched.contentType};
    switch (endpoint) {
        case CheckedEndpoint::Search: {
            const auto count = query::FindListingCount(net::PageTextAsGbk(std::move(page)));
            if (count) {
                found = ListingCountFound() + " " + std::to_string(*count);
            }
            return count.has_value();
        }
        case CheckedEndpoint::Index: {
            regex::RegexObject regex;
            const query::TrendSeries series =
                query::ParseTrendSeries(mining::SuggestionReplyText(fetched.body), regex);
            if (!series.Yesterday().empty()) {
                found = YesterdayIndexFound() + " " + series.Yesterday();
            }
            return !series.Yesterday().empty();
        }
        case CheckedEndpoint::Suggest: {
            const auto candidates =
                mining::SuggestionCandidatesFromText(mining::SuggestionReplyText(fetched.body));
            if (!candidates.empty()) {
                found = std::to_string(candidates.size()) + " " + SuggestionsFound();
            }
            return !candidates.empty();
        }
    }
    return false;
}

std::string MissingValue(CheckedEndpoint endpoint) {
    switch (endpoint) {
        case CheckedEndpoint::Search:
            return NoListingCountReason();
        case CheckedEndpoint::Index:
            return NoSeriesReason();
        case CheckedEndpoint::Suggest:
            return NoSuggestionsReason();
    }
    return {};
}

}  // namespace

std::string_view VerdictText(EndpointVerdict verdict) {
    return kVerdictTexts[static_cast<std::size_t>(verdict)]();
}

std::string_view EndpointName(CheckedEndpoint endpoint) {
    constexpr std::array<Text, 3> kNames = {SearchEndpointName, IndexEndpointName,
                                            SuggestEndpointName};
    return kNames[static_cast<std::size_t>(endpoint)]();
}

std::string_view EndpointKey(CheckedEndpoint endpoint) {
    constexpr std::array<std::string_view, 3> kKeys = {"search", "index", "suggest"};
    return kKeys[static_cast<std::size_t>(endpoint)];
}

EndpointCheckResult JudgeEndpointReply(CheckedEndpoint endpoint, const net::FetchResult& fetched) {
    EndpointCheckResult result;
    result.endpoint = endpoint;
    const net::FetchOutcome outcome = net::ClassifyFetch(fetched);
    if (fetched.error == net::TransportError::Resolve) {
        result.verdict = EndpointVerdict::Retired;
        result.reason = net::FailureReason(fetched, outcome);
    } else if (outcome == net::FetchOutcome::Blocked) {
        result.verdict = EndpointVerdict::NeedsLogin;
        result.reason = net::FailureReason(fetched, outcome);
    } else if (fetched.error == net::TransportError::None && fetched.status == 404) {
        result.verdict = EndpointVerdict::Retired;
        result.reason = net::FailureReason(fetched, net::FetchOutcome::Failed);  // 服务器返回 404
    } else if (outcome == net::FetchOutcome::Failed) {
        result.verdict = EndpointVerdict::Unreachable;
        result.reason = net::FailureReason(fetched, outcome);
    } else if (!fetched.refusedRedirect.empty()) {
        result.verdict = EndpointVerdict::FormatChanged;
        result.reason = RedirectedReason() + OriginOf(fetched.refusedRedirect);
    } else if (ReadsTheValue(endpoint, fetched, result.reason)) {
        result.verdict = EndpointVerdict::Usable;
    } else {
        result.verdict = EndpointVerdict::FormatChanged;
        result.reason = MissingValue(endpoint);
    }
    return result;
}

std::vector<EndpointCheckResult> CheckEndpoints(const net::EndpointConfig& endpoints,
                                                const net::FetchSettings& settings,
                                                const runtime::CancelToken* cancel) {
    const std::string encoded = net::PercentEncodeUtf8(kCheckKeyword);
    const std::pair<CheckedEndpoint, std::string> asked[] = {
        {CheckedEndpoint::Search, endpoints.SearchPageUrl(encoded)},
        {CheckedEndpoint::Index, endpoints.TrendUrl(encoded)},
        {CheckedEndpoint::Suggest, endpoints.SuggestUrl(encoded)},
    };
    std::vector<EndpointCheckResult> results;
    for (const auto& [endpoint, url] : asked) {
        EndpointCheckResult result =
            JudgeEndpointReply(endpoint, net::HttpFetchResult(url, settings, cancel));
        result.url = url;
        results.push_back(std::move(result));
    }
    return results;
}

}  // namespace mofeng::app
