#include "query/SuggestWeight.h"

#include "net/PercentEncode.h"
#include "net/PolicyFetch.h"
#include "regex/RegexObject.h"
#include "runtime/CodePage.h"
#include "runtime/NumberOps.h"
#include "runtime/TextOps.h"

namespace mofeng::query {
namespace {

// ["TEXT","WEIGHT": the weight as digits with an optional fraction.
constexpr std::string_view kWeightedPattern = R"re(\["(.*?)","(\d+(?:\.\d+)?)")re";

}  // namespace

std::vector<WeightedSuggestion> WeightedSuggestionsFromText(std::string_view replyText) {
    std::vector<WeightedSuggestion> found;
    regex::RegexObject regex;
    regex.Search(kWeightedPattern, runtime::TextFromBytes(replyText));
    for (int i = 1; i <= regex.MatchCount(); ++i) {
        std::string text = regex.SubMatchText(i, 1);
        text = runtime::TextReplace(text, "<b>", {}, 1, -1, false);
        text = runtime::TextReplace(text, R"(<\/b>)", {}, 1, -1, false);
        found.push_back({std::move(text), regex.SubMatchText(i, 2)});
    }
    return found;
}

SuggestWeightResult LookUpSuggestWeight(const net::EndpointConfig& endpoints,
                                        std::string_view keyword,
                                        const runtime::CancelToken* cancel) {
    net::PolicyFetchResult fetched =
        net::FetchWithPolicy(endpoints.SuggestUrl(net::PercentEncodeUtf8(keyword)), cancel);
    SuggestWeightResult result;
    switch (fetched.outcome) {
        case net::FetchOutcome::Blocked:
            result.outcome = net::LookupOutcome::Blocked;
            return result;
        case net::FetchOutcome::Failed:
            result.outcome = net::LookupOutcome::Failed;
            return result;
        case net::FetchOutcome::Reply:
            break;
    }
    const std::string text = runtime::Utf8ToGbk(runtime::TextFromBytes(fetched.last.body));
    for (WeightedSuggestion& entry : WeightedSuggestionsFromText(text)) {
        if (entry.text == keyword) {
            result.weight = std::move(entry.weight);
            result.outcome = net::LookupOutcome::Normal;
            break;
        }
    }
    return result;
}

std::string SuggestWeightDisplay(std::string_view weight) {
    if (weight.empty() || weight.front() < '0' || weight.front() > '9') {
        return {};
    }
    return runtime::FormatNumber(runtime::RoundHalfAway(runtime::ToNumber(weight), 0));
}

}  // namespace mofeng::query
