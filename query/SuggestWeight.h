#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "net/EndpointConfig.h"
#include "net/LookupOutcome.h"
#include "runtime/CancelToken.h"

namespace mofeng::query {

// One suggestion of a reply and the weight sent with it (decimal text, as
// the reply writes it: "718826.9811948987" or digits). Texts are GBK.
struct WeightedSuggestion {
    std::string text;  // without "<b>" and "<\/b>"
    std::string weight;
};

// Every entry of a suggestion reply already turned into GBK text, in order.
std::vector<WeightedSuggestion> WeightedSuggestionsFromText(std::string_view replyText);

// 联想热度 of a keyword: the weight of the reply's entry equal to the keyword.
struct SuggestWeightResult {
    std::string weight;  // empty without such an entry
    net::LookupOutcome outcome = net::LookupOutcome::NoData;
};

// Asks the suggestion endpoint for keyword (GBK) through net::FetchWithPolicy.
SuggestWeightResult LookUpSuggestWeight(const net::EndpointConfig& endpoints,
                                        std::string_view keyword,
                                        const runtime::CancelToken* cancel);

// The weight rounded to an integer, as the list shows it ("718827"); empty
// for an empty or malformed weight.
std::string SuggestWeightDisplay(std::string_view weight);

}  // namespace mofeng::query
