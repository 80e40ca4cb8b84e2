#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "net/EndpointConfig.h"
#include "net/LookupOutcome.h"
#include "runtime/CancelToken.h"

// The two places mining learns keywords from: the related-search links of the
// search page and the suggestion service. Texts are GBK. Filtering and
// de-duplication belong to the engine; these return candidates in reply
// order, repeats included, and an empty list for every failure.
namespace mofeng::mining {

// Link text of every related-search anchor of the search page.
inline constexpr std::string_view kRelatedPattern =
    R"re(<a trace="relatedSearch" href=".*?">(.*?)</a>)re";
// One suggestion entry of the JSONP reply: ["TEXT","COUNT". Current replies
// carry the count as a decimal ("718826.9811948987"), older ones as digits.
inline constexpr std::string_view kSuggestPattern = R"re(\["(.*?)","\d+(\.\d+)?")re";

static_assert(kRelatedPattern.size() == 45);
static_assert(kSuggestPattern.size() == 23);

// Candidates of a search page already turned into GBK text: group 1 of every
// match, exactly as captured (no trimming, no entity decoding). Stops at a NUL.
std::vector<std::string> RelatedCandidatesFromPage(std::string_view pageText);

// Candidates of a suggestion reply already turned into GBK text: group 1 of
// every match with "<b>" and then "<\/b>" removed (ASCII case ignored, never
// starting inside a double-byte character). Other JSON escapes stay.
std::vector<std::string> SuggestionCandidatesFromText(std::string_view replyText);

// One suggestion entry and the weight the reply gives it: its count as
// written ("718826.9811948987" or digits), never empty.
struct SuggestionEntry {
    std::string text;  // as SuggestionCandidatesFromText gives it
    std::string weight;
};

// The entries of a suggestion reply, in the order and by the rules of
// SuggestionCandidatesFromText.
std::vector<SuggestionEntry> SuggestionEntriesFromText(std::string_view replyText);

// One tag of the "magic" block that current suggestion replies carry after
// "result": "title":"TEXT" (the first group).
inline constexpr std::string_view kTagPattern = R"re("title":"(.*?)")re";

// The tags of a suggestion reply already turned into GBK text: every title of
// its "magic" block, in reply order; none without the block. Never reads the
// suggestions themselves.
std::vector<std::string> SuggestionTagsFromText(std::string_view replyText);

// The reply body (UTF-8 bytes) as GBK text: cut at the first NUL, converted.
std::string SuggestionReplyText(std::string_view body);

// One expansion's candidates and how its fetch went: 正常 with candidates,
// 无数据 for a reply without any, 失败 or 被拦截 (with the reason, GBK) when
// the fetch failed after its retries or met a login page.
struct SourceResult {
    std::vector<std::string> candidates;
    // The suggestion source only: weights[i] is what the reply gave
    // candidates[i], empty for a tag's candidate. Empty for related searches.
    std::vector<std::string> weights;
    net::LookupOutcome outcome = net::LookupOutcome::NoData;
    std::string reason;
};

// The two sources through net::FetchWithPolicy (paced, retried).
SourceResult RelatedSearchLookup(const net::EndpointConfig& endpoints, std::string_view keyword,
                                 const runtime::CancelToken* cancel);
// With tags (the source "联想标签"), the suggestions are followed by keyword +
// each tag of the reply's magic block; without, the suggestions only.
SourceResult SuggestionLookup(const net::EndpointConfig& endpoints, std::string_view keyword,
                              const runtime::CancelToken* cancel, bool tags = false);

// Fetches the search page for keyword (GBK; may be empty) and returns its
// related-search candidates. The page is GBK unless the reply declares
// UTF-8. A raised cancel token ends the fetch early (and gives no candidates).
std::vector<std::string> RelatedSearchKeywords(const net::EndpointConfig& endpoints,
                                               std::string_view keyword,
                                               const runtime::CancelToken* cancel = nullptr);

// Fetches the suggestions for keyword (GBK; may be empty).
std::vector<std::string> SuggestionKeywords(const net::EndpointConfig& endpoints,
                                            std::string_view keyword,
                                            const runtime::CancelToken* cancel = nullptr);

}  // namespace mofeng::mining
