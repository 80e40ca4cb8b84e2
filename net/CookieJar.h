#pragma once

#include <cstddef>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include "net/Cookie.h"
#include "net/LoginCookies.h"

namespace mofeng::net {

// The cookies that replies set, shared by every fetch of the process. Each
// domain keeps at most kMaxCookiesPerDomain cookies and kMaxBytesPerDomain
// bytes; the oldest go first, so a server that sets new cookies on every
// reply cannot make later requests slower. Thread-safe.
class CookieJar final {
public:
    static constexpr std::size_t kMaxCookiesPerDomain = 50;
    static constexpr std::size_t kMaxBytesPerDomain = 8192;

    // Takes one Set-Cookie header value received from host. A cookie whose
    // Max-Age is 0 or less, or whose Expires lies in the past, is removed.
    void Store(std::string_view host, std::string_view setCookie);
    // "a=1; b=2" for host, oldest first; empty when none.
    std::string HeaderFor(std::string_view host) const;
    std::size_t CountFor(std::string_view domain) const;
    void Clear();

private:
    mutable std::mutex m_mutex;
    std::map<std::string, std::deque<Cookie>, std::less<>> m_byDomain;
};

CookieJar& ProcessCookieJar();

// The Cookie header for host: the jar's cookies, then the login cookies (from
// the cookie file, then the pasted header) whose names the jar does not hold,
// so a server refreshing a login cookie wins.
std::string ComposeCookieHeader(std::string_view host, const CookieJar& jar,
                                const LoginCookies& login);

}  // namespace mofeng::net
