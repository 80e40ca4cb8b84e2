#include "net/BlockedMarkers.h"

#include <algorithm>
#include <string>

#include "net/FetchResult.h"

namespace mofeng::net {
namespace {

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view PathOf(std::string_view url) {
    const std::size_t scheme = url.find("://");
    std::size_t start = scheme == std::string_view::npos ? 0 : scheme + 3;
    start = url.find('/', start);
    if (start == std::string_view::npos)
        return {};
    const std::size_t end = url.find_first_of("?#", start);
    return url.substr(start, end == std::string_view::npos ? url.npos : end - start);
}

}  // namespace

bool UrlPathIsBlocked(std::string_view url) {
    std::string path(PathOf(url));
    std::transform(path.begin(), path.end(), path.begin(), LowerAscii);
    return std::any_of(kBlockedPathMarkers.begin(), kBlockedPathMarkers.end(),
                       [&](std::string_view marker) { return path.find(marker) != path.npos; });
}

bool BodyIsBlocked(std::string_view body) {
    return std::any_of(kBlockedBodyMarkers.begin(), kBlockedBodyMarkers.end(),
                       [&](std::string_view marker) { return body.find(marker) != body.npos; });
}

FetchOutcome ClassifyFetch(const FetchResult& result) {
    // A login wall is worth telling apart even when the page behind it failed.
    if (UrlPathIsBlocked(result.finalUrl) ||
        (!result.refusedRedirect.empty() && UrlPathIsBlocked(result.refusedRedirect)) ||
        BodyIsBlocked(result.body)) {
        return FetchOutcome::Blocked;
    }
    if (result.error != TransportError::None || result.status == 429 || result.status >= 500 ||
        result.status == 0) {
        return FetchOutcome::Failed;
    }
    return FetchOutcome::Reply;
}

}  // namespace mofeng::net
