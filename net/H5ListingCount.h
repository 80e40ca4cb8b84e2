#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "net/H5Api.h"
#include "net/H5Reply.h"
#include "net/HostAvailability.h"
#include "net/PolicyFetch.h"
#include "runtime/CancelToken.h"

namespace mofeng::net {

struct H5CountLookup {
    // outcome Reply: the call succeeded (count nullopt when the reply held
    // none); Blocked: a login, verification or punish answer; Failed: the
    // fetch failed, or the server answered another failure code (its ret
    // entry, GBK, is the reason).
    PolicyFetchResult fetched;
    std::optional<std::int32_t> count;
};

// The listing count of keyword (GBK) from the signed h5 search call to base, through
// FetchWithPolicy with a current browser's agent and referer. The token comes
// from the _m_h5_tk cookie (the process's cookie jar, then the login
// cookies); a reply that the token is missing or stale brings fresh token
// cookies, and the call is made once more with them (and once more when a
// refusal met a token another thread renewed meanwhile: three calls at most).
// Any thread.
H5CountLookup FetchH5ListingCount(std::string_view base, const H5Api& api, std::string_view keyword,
                                  std::string_view referer, const runtime::CancelToken* cancel,
                                  HostAvailability* hosts);

// How a readable reply counts: the outcome, and whether its code asks for a
// fresh token. Exposed for the tests.
struct H5Verdict {
    FetchOutcome outcome = FetchOutcome::Failed;
    bool tokenRefused = false;
};
H5Verdict JudgeH5Reply(const H5Reply& reply, std::string_view body);

}  // namespace mofeng::net
