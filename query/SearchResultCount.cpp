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

// A quoted value as ToNumber reads it (white space, a sign, full-width
// digits); nullopt for a value without a number and for a negative one: a
// listing count is never negative.
std::optional<std::int32_t> CountOfValue(std::string_view value) {
    const std::optional<double> number = runtime::LeadingNumber(value);
    if (!number || *number < 0) {
        return std::nullopt;
    }
    return runtime::TruncateToInt32(*number);
}

// The count that directly follows the key: "totalHits":"123" and
// totalHits: 123 alike. The first occurrence that has one wins, so an echo of
// the keyword (say, in the page title) before the config does not hide it.
// nullopt when no occurrence is followed by a count.
std::optional<std::int32_t> CountDirectlyAfterKey(std::string_view page) {
    for (int keyAt = runtime::TextFind(page, kCountKey, 1, true); keyAt != -1;
         keyAt = runtime::TextFind(page, kCountKey, keyAt + 1, true)) {
        std::size_t p = static_cast<std::size_t>(keyAt - 1) + kCountKey.size();
        if (p < page.size() && page[p] == '"') {
            ++p;
        }
        if (p >= page.size() || page[p] != ':') {
            continue;
        }
        ++p;
        while (p < page.size() && IsJsonSpace(page[p])) {
            ++p;
        }
        if (p < page.size() && page[p] == '"') {
            // '"' is never a GBK trail byte: the first one closes the value.
            const std::size_t end = std::min(page.find('"', p + 1), page.size());
            if (const auto count = CountOfValue(page.substr(p + 1, end - p - 1))) {
                return count;
            }
            continue;
        }
        // A bare value is its ASCII digits.
        std::size_t end = p;
        while (end < page.size() && IsDigit(page[end])) {
            ++end;
        }
        if (end > p) {
            return runtime::TruncateToInt32(runtime::ToNumber(page.substr(p, end - p)));
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::int32_t> FindListingCount(std::string_view page) {
    if (const auto direct = CountDirectlyAfterKey(page)) {
        return direct;
    }
    int start = 1;
    const std::string value = TextBetween(page, start, kCountKey, ":\"", true, "\",", true, false);
    if (start == -1) {
        return std::nullopt;
    }
    return CountOfValue(value);
}

std::int32_t ListingCountFromPage(std::string_view page) {
    return FindListingCount(page).value_or(0);
}

std::int32_t SearchResultCount(const net::EndpointConfig& config, std::string_view keyword,
                               const runtime::CancelToken* cancel) {
    const std::string url = config.SearchPageUrl(net::PercentEncodeUtf8(keyword));
    const std::string page = net::PageTextAsGbk(net::HttpFetchPage(url, cancel));
    return ListingCountFromPage(page);
}

}  // namespace mofeng::query
