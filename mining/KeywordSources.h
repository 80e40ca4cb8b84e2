#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "net/EndpointConfig.h"
#include "runtime/CancelToken.h"

// The two places mining learns keywords from: the related-search links of the
// search page and the suggestion service. Texts are GBK. Filtering and
// de-duplication belong to the engine; these return candidates in reply
// order, repeats included, and an empty list for every failure.
namespace mofeng::mining {

// Link text of every related-search anchor of the search page.
inline constexpr std::string_view kRelatedPattern =
    R"re(<a trace="relatedSearch" href=".*?">(.*?)</a>)re";
// One suggestion entry of the JSONP reply: ["TEXT","COUNT".
inline constexpr std::string_view kSuggestPattern = R"re(\["(.*?)","\d+")re";

static_assert(kRelatedPattern.size() == 45);
static_assert(kSuggestPattern.size() == 15);

// Candidates of a search page already turned into GBK text: group 1 of every
// match, exactly as captured (no trimming, no entity decoding). Stops at a NUL.
std::vector<std::string> RelatedCandidatesFromPage(std::string_view pageText);

// Candidates of a suggestion reply already turned into GBK text: group 1 of
// every match with "<b>" and then "<\/b>" removed (ASCII case ignored, never
// starting inside a double-byte character). Other JSON escapes stay.
std::vector<std::string> SuggestionCandidatesFromText(std::string_view replyText);

// The reply body (UTF-8 bytes) as GBK text: cut at the first NUL, converted.
std::string SuggestionReplyText(std::string_view body);

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
