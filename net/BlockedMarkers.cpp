#include "net/BlockedMarkers.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define MOFENG_MARKER_SCAN_SSE2 1
#else
#define MOFENG_MARKER_SCAN_SSE2 0
#endif

#include "net/FetchResult.h"
#include "runtime/TextOps.h"

namespace mofeng::net {
namespace {

std::string_view PathOf(std::string_view url) {
    const std::size_t scheme = url.find("://");
    std::size_t start = scheme == std::string_view::npos ? 0 : scheme + 3;
    start = url.find('/', start);
    if (start == std::string_view::npos) {
        return {};
    }
    const std::size_t end = url.find_first_of("?#", start);
    return url.substr(start, end == std::string_view::npos ? url.npos : end - start);
}

bool HoldsMarkerFrom(std::string_view body, std::size_t from) {
    const std::string_view rest = body.substr(from);
    return std::any_of(kBlockedBodyMarkers.begin(), kBlockedBodyMarkers.end(),
                       [&](std::string_view marker) { return rest.find(marker) != rest.npos; });
}

#if MOFENG_MARKER_SCAN_SSE2
// Which of 16 starts at data match marker's first and last bytes both.
struct MarkerProbe {
    std::string_view marker;
    __m128i first = _mm_set1_epi8(marker.front());
    __m128i last = _mm_set1_epi8(marker.back());

    __m128i Candidates(const char* data, __m128i block) const {
        const __m128i tail =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + marker.size() - 1));
        return _mm_and_si128(_mm_cmpeq_epi8(block, first), _mm_cmpeq_epi8(tail, last));
    }

    bool MatchesAny(const char* data, __m128i candidates) const {
        for (auto bits = static_cast<unsigned>(_mm_movemask_epi8(candidates)); bits != 0;
             bits &= bits - 1) {
            if (std::memcmp(data + std::countr_zero(bits), marker.data(), marker.size()) == 0) {
                return true;
            }
        }
        return false;
    }
};
#endif

}  // namespace

bool UrlPathIsBlocked(std::string_view url) {
    std::string path(PathOf(url));
    path = runtime::AsciiLower(path);
    return std::any_of(kBlockedPathMarkers.begin(), kBlockedPathMarkers.end(),
                       [&](std::string_view marker) { return path.find(marker) != path.npos; });
}

bool BodyIsBlocked(std::string_view body) {
#if MOFENG_MARKER_SCAN_SSE2
    // Both markers in one pass, 16 starts at a time, each start tested on a
    // marker's first and last byte before any comparison: the markers' first
    // bytes ('x', '_') are frequent in pages, and stopping at each of them
    // cost more than reading the page.
    static_assert(kBlockedBodyMarkers.size() == 2);
    const MarkerProbe one{kBlockedBodyMarkers[0]};
    const MarkerProbe two{kBlockedBodyMarkers[1]};
    const std::size_t reach = std::max(one.marker.size(), two.marker.size()) + 15;
    const char* const data = body.data();
    std::size_t from = 0;
    for (; from + reach <= body.size(); from += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + from));
        const __m128i ones = one.Candidates(data + from, block);
        const __m128i twos = two.Candidates(data + from, block);
        if (_mm_movemask_epi8(_mm_or_si128(ones, twos)) != 0 &&
            (one.MatchesAny(data + from, ones) || two.MatchesAny(data + from, twos))) {
            return true;
        }
    }
    return HoldsMarkerFrom(body, from);
#else
    return HoldsMarkerFrom(body, 0);
#endif
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
