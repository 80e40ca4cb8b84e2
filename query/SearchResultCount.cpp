#include "query/SearchResultCount.h"

#include <algorithm>
#include <optional>
#include <string>

#include "net/PageText.h"
#include "net/PercentEncode.h"
#include "query/TextBetween.h"
#include "runtime/NumberOps.h"
#include "runtime/TextOps.h"

namespace mofeng::query {
namespace {

constexpr std::string_view kCountKey = "totalHits";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsJsonSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The digits that directly follow the key: "totalHits":"123" and
// totalHits: 123 alike. The first occurrence that has them wins, so an echo of
// the keyword (say, in the page title) before the config does not hide it.
// nullopt when no occurrence is followed by a number.
std::optional<std::int32_t> NumberDirectlyAfterKey(std::string_view page) {
    for (int keyAt = runtime::TextFind(page, kCountKey, 1, true); keyAt != -1;
         keyAt = runtime::TextFind(page, kCountKey, keyAt + 1, true)) {
        std::size_t p = static_cast<std::size_t>(keyAt - 1) + kCountKey.size();
        if (p < page.size() && page[p] == '"')
            ++p;
        if (p >= page.size() || page[p] != ':')
            continue;
        ++p;
        while (p < page.size() && IsJsonSpace(page[p]))
            ++p;
        const bool quoted = p < page.size() && page[p] == '"';
        if (quoted)
            ++p;
        if (p >= page.size() || !IsDigit(page[p]))
            continue;
        // A quoted value reads as ToNumber reads it ("1e3" is 1000); a bare
        // one is its digits.
        std::size_t end = p;
        if (quoted) {
            end = std::min(page.find('"', p), page.size());
        } else {
            while (end < page.size() && IsDigit(page[end]))
                ++end;
        }
        return runtime::TruncateToInt32(runtime::ToNumber(page.substr(p, end - p)));
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::int32_t> FindListingCount(std::string_view page) {
    if (const auto direct = NumberDirectlyAfterKey(page))
        return *direct;
    int start = 1;
    const std::string value = TextBetween(page, start, kCountKey, ":\"", true, "\",", true, false);
    // A listing count is never negative: a signed value counts as none.
    if (start == -1 || value.empty() || !IsDigit(value.front()))
        return std::nullopt;
    return runtime::TruncateToInt32(runtime::ToNumber(value));
}

std::int32_t ListingCountFromPage(std::string_view page) {
    if (const auto found = FindListingCount(page))
        return *found;
    int start = 1;
    const std::string value = TextBetween(page, start, kCountKey, ":\"", true, "\",", true, false);
    // A listing count is never negative: a signed value counts as none.
    return std::max(0, runtime::TruncateToInt32(runtime::ToNumber(value)));
}

std::int32_t SearchResultCount(const net::EndpointConfig& config, std::string_view keyword,
                               const runtime::CancelToken* cancel) {
    const std::string url = config.SearchPageUrl(net::PercentEncodeUtf8(keyword));
    const std::string page = net::PageTextAsGbk(net::HttpFetchPage(url, cancel));
    return ListingCountFromPage(page);
}

}  // namespace mofeng::query
