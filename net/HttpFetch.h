#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "net/FetchResult.h"
#include "net/RequestHeaders.h"
#include "runtime/CancelToken.h"

namespace mofeng::net {

struct FetchSettings;

// Blocking GET of url: one try, no retry. Redirects are followed to the same
// scheme, host and port, and from http:// to https:// on the same host (an
// upgrade, any port); never a downgrade nor elsewhere. Certificates are
// always verified: against the system's authorities and the settings' CA
// file; a refused one ends the fetch with Certificate. The fragment is never sent
// and the URL is sent as given. Cookies that replies set live in the
// process-wide CookieJar; the login cookies and the proxy of the current
// FetchSettings are applied. A raised cancel token makes the fetch return
// (with what it has) within 200 ms. Any thread.
// Only http:// and https:// are fetched; a URL holding a space or a control
// byte cannot be sent as given. Without a proxy setting, proxies come from the
// environment (http_proxy, https_proxy, no_proxy) and loopback hosts never go
// through one; a proxy setting applies to every host, loopback included.
// With headers, their agent and referrer replace the usual ones.
FetchResult HttpFetchResult(std::string_view url, const runtime::CancelToken* cancel = nullptr,
                            const RequestHeaders* headers = nullptr);
// The same fetch under the given settings instead of the process's (a check
// of settings not yet applied).
FetchResult HttpFetchResult(std::string_view url, const FetchSettings& settings,
                            const runtime::CancelToken* cancel = nullptr,
                            const RequestHeaders* headers = nullptr);

// The body of HttpFetchResult: every failure before the body gives an empty
// result, a connection lost mid-body gives the bytes received so far. The
// HTTP status is ignored.
std::string HttpFetch(std::string_view url, const runtime::CancelToken* cancel = nullptr);

// The same fetch; contentType (when not null) receives the Content-Type header
// of the last reply received, empty when there was none or it had none.
std::string HttpFetch(std::string_view url, const runtime::CancelToken* cancel,
                      std::string* contentType);

// Bytes read per chunk: Content-Length + 1 capped at 102400, or 10240 when the
// length is absent, unparsable or not above 0. curl's receive buffer is fixed
// before the length is known, so it is set to the 102400 ceiling; this size
// is the body's first allocation.
std::size_t ReadChunkSize(std::optional<long long> contentLength);

// Transport limits; the defaults are what the product uses. Tests shorten them.
struct TransportLimits {
    std::chrono::milliseconds connectTimeout{30000};
    // Fewer than kStallMinBytes received within this window: give up.
    std::chrono::milliseconds stallTimeout{60000};
    std::chrono::milliseconds overallDeadline{300000};  // one fetch, redirects included
    std::size_t maxBodyBytes = 64u * 1024u * 1024u;
};
// A trickle this slow counts as a stall, so one byte a second cannot hold a run.
inline constexpr std::size_t kStallMinBytes = 100;
void SetTransportLimits(const TransportLimits& limits);
TransportLimits CurrentTransportLimits();

}  // namespace mofeng::net
