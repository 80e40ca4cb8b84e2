#include "net/H5ListingCount.h"

#include <chrono>
#include <limits>

#include "net/CookieJar.h"
#include "net/FetchSettings.h"
#include "net/H5Reply.h"
#include "runtime/CodePage.h"

namespace mofeng::net {
namespace {

bool OneOf(std::string_view code, std::initializer_list<std::string_view> codes) {
    for (const std::string_view wanted : codes) {
        if (code == wanted) {
            return true;
        }
    }
    return false;
}

// The host of a base URL without its port, as cookies are matched.
std::string CookieHost(std::string_view base) {
    std::string host = HostKey(base);
    if (!host.empty() && host.front() == '[') {
        return host.substr(0, host.find(']') + 1);
    }
    return host.substr(0, host.find(':'));
}

std::int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::optional<std::int32_t> CountOf(const H5Reply& reply) {
    if (!reply.totalResults || reply.totalResults->front() == '-') {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char digit : *reply.totalResults) {
        value = value * 10 + (digit - '0');
        if (value > std::numeric_limits<std::int32_t>::max()) {
            return std::numeric_limits<std::int32_t>::max();
        }
    }
    return static_cast<std::int32_t>(value);
}

// The first call, one after a refused token, one after a token renewed
// meanwhile by another thread.
constexpr int kMaxH5Calls = 3;

}  // namespace

H5Verdict JudgeH5Reply(const H5Reply& reply, std::string_view body) {
    const std::string_view code = reply.Code();
    H5Verdict verdict;
    if (!reply.readable || reply.ret.empty() || code == "SUCCESS") {
        // Unreadable or without ret: a reply without the value, as a page
        // without the count.
        verdict.outcome = FetchOutcome::Reply;
    } else if (OneOf(code,
                     {"FAIL_SYS_SESSION_EXPIRED", "FAIL_SYS_USER_VALIDATE", "RGV587_ERROR"}) ||
               body.find("x5secdata") != body.npos || body.find("punish") != body.npos) {
        verdict.outcome = FetchOutcome::Blocked;
    } else {
        // The server spells it EXOIRED; the correct spelling is taken too.
        verdict.tokenRefused = OneOf(
            code, {"FAIL_SYS_TOKEN_EMPTY", "FAIL_SYS_TOKEN_EXOIRED", "FAIL_SYS_TOKEN_EXPIRED"});
    }
    return verdict;
}

H5CountLookup FetchH5ListingCount(std::string_view base, const H5Api& api, std::string_view keyword,
                                  std::string_view referer, const runtime::CancelToken* cancel,
                                  HostAvailability* hosts) {
    const RequestHeaders headers{std::string(kBrowserUserAgent), std::string(referer)};
    const std::string data = H5SearchData(api, runtime::GbkToUtf8(std::string(keyword)));
    const std::string cookieHost = CookieHost(base);
    H5CountLookup lookup;
    auto currentToken = [&] {
        return H5TokenFrom(
            ComposeCookieHeader(cookieHost, ProcessCookieJar(), CurrentFetchSettings()->login));
    };
    bool tokenRefused = false;
    for (int call = 0; call < kMaxH5Calls; ++call) {
        const std::string token = currentToken();
        lookup.fetched =
            FetchWithPolicy(H5SearchUrl(base, api, data, token, NowMs()), cancel, hosts, &headers);
        if (lookup.fetched.outcome != FetchOutcome::Reply) {
            return lookup;
        }
        const H5Reply reply = ReadH5Reply(lookup.fetched.last.body);
        const H5Verdict verdict = JudgeH5Reply(reply, lookup.fetched.last.body);
        // The token is sent as a cookie of the jar, which another thread's
        // reply may have renewed between the sign and the send: a refusal
        // while the jar holds another token is worth one more call.
        const bool tokenMoved = verdict.outcome == FetchOutcome::Failed && currentToken() != token;
        if (call + 1 < kMaxH5Calls && ((verdict.tokenRefused && !tokenRefused) || tokenMoved)) {
            tokenRefused = tokenRefused || verdict.tokenRefused;
            continue;  // the reply set fresh token cookies
        }
        lookup.fetched.outcome = verdict.outcome;
        if (verdict.outcome == FetchOutcome::Reply) {
            lookup.count = CountOf(reply);
        } else if (verdict.outcome == FetchOutcome::Blocked) {
            lookup.fetched.reason = FailureReason(lookup.fetched.last, FetchOutcome::Blocked);
        } else {
            lookup.fetched.reason = runtime::Utf8ToGbk(reply.ret.front());
        }
        return lookup;
    }
    return lookup;
}

}  // namespace mofeng::net
