#include "query/SearchResultCount.h"

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

// The digits that directly follow the first key: "totalHits":"123" and
// totalHits: 123 alike. nullopt when the key is absent or no digit follows.
std::optional<std::int32_t> NumberDirectlyAfterKey(std::string_view page) {
    const int keyAt = runtime::TextFind(page, kCountKey, 1, true);
    if (keyAt == -1)
        return std::nullopt;
    std::size_t p = static_cast<std::size_t>(keyAt - 1) + kCountKey.size();
    if (p < page.size() && page[p] == '"')
        ++p;
    if (p >= page.size() || page[p] != ':')
        return std::nullopt;
    ++p;
    while (p < page.size() && IsJsonSpace(page[p]))
        ++p;
    if (p < page.size() && page[p] == '"')
        ++p;
    std::size_t end = p;
    while (end < page.size() && IsDigit(page[end]))
        ++end;
    if (end == p)
        return std::nullopt;
    return runtime::TruncateToInt32(runtime::ToNumber(page.substr(p, end - p)));
}

}  // namespace

std::int32_t ListingCountFromPage(std::string_view page) {
    if (const auto direct = NumberDirectlyAfterKey(page))
        return *direct;
    int start = 1;
    const std::string value = TextBetween(page, start, kCountKey, ":\"", true, "\",", true, false);
    return runtime::TruncateToInt32(runtime::ToNumber(value));
}

std::int32_t SearchResultCount(const net::EndpointConfig& config, std::string_view keyword,
                               const runtime::CancelToken* cancel) {
    const std::string url = config.SearchPageUrl(net::PercentEncodeUtf8(keyword));
    const std::string page = net::PageTextAsGbk(net::HttpFetchPage(url, cancel));
    return ListingCountFromPage(page);
}

}  // namespace mofeng::query
