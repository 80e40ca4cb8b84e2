#include "app/EndpointCheck.h"

#include <array>

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

constexpr std::array<std::string_view, 5> kVerdictTexts = {
    "\xBF\xC9\xD3\xC3",                  // 可用
    "\xD0\xE8\xD2\xAA\xB5\xC7\xC2\xBC",  // 需要登录
    "\xB8\xF1\xCA\xBD\xD2\xD1\xB1\xE4",  // 格式已变
    "\xCE\xDE\xB7\xA8\xC1\xAC\xBD\xD3",  // 无法连接
    "\xD2\xD1\xCD\xA3\xD3\xC3",          // 已停用
};

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
                found = "\xB1\xA6\xB1\xB4\xCA\xFD\xC1\xBF " + std::to_string(*count);  // 宝贝数量 N
            }
            return count.has_value();
        }
        case CheckedEndpoint::Index: {
            regex::RegexObject regex;
            const query::TrendSeries series =
                query::ParseTrendSeries(mining::SuggestionReplyText(fetched.body), regex);
            if (!series.Yesterday().empty()) {
                found = "\xD7\xF2\xC8\xD5\xD6\xB8\xCA\xFD " + series.Yesterday();  // 昨日指数 N
            }
            return !series.Yesterday().empty();
        }
        case CheckedEndpoint::Suggest: {
            const auto candidates =
                mining::SuggestionCandidatesFromText(mining::SuggestionReplyText(fetched.body));
            if (!candidates.empty()) {
                found = std::to_string(candidates.size()) +
                        " \xCC\xF5\xC1\xAA\xCF\xEB\xB4\xCA";  // N 条联想词
            }
            return !candidates.empty();
        }
    }
    return false;
}

std::string MissingValue(CheckedEndpoint endpoint) {
    switch (endpoint) {
        case CheckedEndpoint::Search:
            // 搜索页中没有宝贝数量（totalHits）
            return "\xCB\xD1\xCB\xF7\xD2\xB3\xD6\xD0\xC3\xBB\xD3\xD0\xB1\xA6\xB1\xB4\xCA\xFD\xC1"
                   "\xBF"
                   "\xA3\xA8totalHits\xA3\xA9";
        case CheckedEndpoint::Index:
            return "\xBB\xD8\xB8\xB4\xD6\xD0\xC3\xBB\xD3\xD0\xC6\xDF\xC8\xD5\xD6\xB8\xCA\xFD";  // 回复中没有七日指数
        case CheckedEndpoint::Suggest:
            return "\xBB\xD8\xB8\xB4\xD6\xD0\xC3\xBB\xD3\xD0\xC1\xAA\xCF\xEB\xB4\xCA";  // 回复中没有联想词
    }
    return {};
}

}  // namespace

std::string_view VerdictText(EndpointVerdict verdict) {
    return kVerdictTexts[static_cast<std::size_t>(verdict)];
}

std::string_view EndpointName(CheckedEndpoint endpoint) {
    constexpr std::array<std::string_view, 3> kNames = {
        "\xCB\xD1\xCB\xF7\xD2\xB3", "\xD6\xB8\xCA\xFD", "\xC1\xAA\xCF\xEB\xB4\xCA"};
    return kNames[static_cast<std::size_t>(endpoint)];
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
        // 重定向到其他地址：ORIGIN
        result.reason = "\xD6\xD8\xB6\xA8\xCF\xF2\xB5\xBD\xC6\xE4\xCB\xFB\xB5\xD8\xD6\xB7\xA3\xBA" +
                        OriginOf(fetched.refusedRedirect);
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
