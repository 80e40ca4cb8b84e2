#include "mining/KeywordSources.h"

#include "net/HttpFetch.h"
#include "net/PageText.h"
#include "net/PercentEncode.h"
#include "net/PolicyFetch.h"
#include "regex/RegexObject.h"
#include "runtime/CodePage.h"
#include "runtime/TextOps.h"

namespace mofeng::mining {
namespace {

constexpr std::string_view kBoldOpen = "<b>";
constexpr std::string_view kBoldClose = R"(<\/b>)";

// Group 1 of every match, in order.
std::vector<std::string> FirstGroups(std::string_view pattern, std::string_view text) {
    std::vector<std::string> found;
    regex::RegexObject regex;
    regex.Search(pattern, text);
    const int count = regex.MatchCount();
    found.reserve(static_cast<std::size_t>(count));
    for (int i = 1; i <= count; ++i) {
        found.push_back(regex.SubMatchText(i, 1));
    }
    return found;
}

bool Cancelled(const runtime::CancelToken* cancel) {
    return cancel != nullptr && cancel->IsCancelled();
}

// The fetch's outcome; a reply gives its candidates by parse.
template <typename Parse>
SourceResult Lookup(const std::string& url, const runtime::CancelToken* cancel, Parse parse) {
    net::PolicyFetchResult fetched = net::FetchWithPolicy(url, cancel);
    SourceResult result;
    if (Cancelled(cancel)) {
        return result;
    }
    switch (fetched.outcome) {
        case net::FetchOutcome::Reply:
            result.candidates = parse(fetched.last);
            result.outcome =
                result.candidates.empty() ? net::LookupOutcome::NoData : net::LookupOutcome::Normal;
            break;
        case net::FetchOutcome::Blocked:
            result.outcome = net::LookupOutcome::Blocked;
            break;
        case net::FetchOutcome::Failed:
            result.outcome = net::LookupOutcome::Failed;
            break;
    }
    result.reason = std::move(fetched.reason);
    return result;
}

}  // namespace

std::vector<std::string> RelatedCandidatesFromPage(std::string_view pageText) {
    return FirstGroups(kRelatedPattern, runtime::TextFromBytes(pageText));
}

std::vector<SuggestionEntry> SuggestionEntriesFromText(std::string_view replyText) {
    std::vector<SuggestionEntry> entries;
    regex::RegexObject regex;
    regex.Search(kSuggestPattern, runtime::TextFromBytes(replyText));
    const int count = regex.MatchCount();
    entries.reserve(static_cast<std::size_t>(count));
    for (int i = 1; i <= count; ++i) {
        std::string text = regex.SubMatchText(i, 1);
        text = runtime::TextReplace(text, kBoldOpen, {}, 1, -1, false);
        text = runtime::TextReplace(text, kBoldClose, {}, 1, -1, false);
        // The match ends with the quoted count: '"' is never a GBK trail
        // byte, so the last quote but one opens it.
        const std::string match = regex.MatchText(i);
        const std::size_t open = match.rfind('"', match.size() - 2);
        entries.push_back({std::move(text), match.substr(open + 1, match.size() - open - 2)});
    }
    return entries;
}

std::vector<std::string> SuggestionCandidatesFromText(std::string_view replyText) {
    std::vector<std::string> candidates;
    for (SuggestionEntry& entry : SuggestionEntriesFromText(replyText)) {
        candidates.push_back(std::move(entry.text));
    }
    return candidates;
}

std::vector<std::string> SuggestionTagsFromText(std::string_view replyText) {
    const std::string text = runtime::TextFromBytes(replyText);
    // '"' is never a GBK trail byte: the member is found byte-wise.
    const std::size_t magic = text.find("\"magic\":");
    if (magic == std::string::npos) {
        return {};
    }
    return FirstGroups(kTagPattern, std::string_view(text).substr(magic));
}

std::string SuggestionReplyText(std::string_view body) {
    return runtime::Utf8ToGbk(runtime::TextFromBytes(body));
}

SourceResult RelatedSearchLookup(const net::EndpointConfig& endpoints, std::string_view keyword,
                                 const runtime::CancelToken* cancel) {
    return Lookup(endpoints.SearchPageUrl(net::PercentEncodeUtf8(keyword)), cancel,
                  [](net::FetchResult& reply) {
                      net::FetchedPage page{std::move(reply.body), std::move(reply.contentType)};
                      return RelatedCandidatesFromPage(net::PageTextAsGbk(page));
                  });
}

SourceResult SuggestionLookup(const net::EndpointConfig& endpoints, std::string_view keyword,
                              const runtime::CancelToken* cancel, bool tags) {
    std::vector<std::string> weights;
    SourceResult result =
        Lookup(endpoints.SuggestUrl(net::PercentEncodeUtf8(keyword)), cancel,
               [&](net::FetchResult& reply) {
                   const std::string text = SuggestionReplyText(reply.body);
                   std::vector<std::string> candidates;
                   for (SuggestionEntry& entry : SuggestionEntriesFromText(text)) {
                       candidates.push_back(std::move(entry.text));
                       weights.push_back(std::move(entry.weight));
                   }
                   if (tags) {
                       for (const std::string& tag : SuggestionTagsFromText(text)) {
                           candidates.push_back(std::string(keyword) + tag);
                           weights.emplace_back();
                       }
                   }
                   return candidates;
               });
    result.weights = std::move(weights);
    return result;
}

std::vector<std::string> RelatedSearchKeywords(const net::EndpointConfig& endpoints,
                                               std::string_view keyword,
                                               const runtime::CancelToken* cancel) {
    net::FetchedPage page;
    page.body = net::HttpFetch(endpoints.SearchPageUrl(net::PercentEncodeUtf8(keyword)), cancel,
                               &page.contentType);
    // A cut-off page could still hold links, but a cancelled run takes none.
    if (Cancelled(cancel)) {
        return {};
    }
    return RelatedCandidatesFromPage(net::PageTextAsGbk(page));
}

std::vector<std::string> SuggestionKeywords(const net::EndpointConfig& endpoints,
                                            std::string_view keyword,
                                            const runtime::CancelToken* cancel) {
    const std::string body =
        net::HttpFetch(endpoints.SuggestUrl(net::PercentEncodeUtf8(keyword)), cancel);
    if (Cancelled(cancel)) {
        return {};
    }
    return SuggestionCandidatesFromText(SuggestionReplyText(body));
}

}  // namespace mofeng::mining
