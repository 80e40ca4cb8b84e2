#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/CancelToken.h"

namespace mofeng::net {

// Blocking GET of url; returns the body bytes. Every failure gives an empty
// result, a connection lost mid-body gives the bytes received so far; nothing
// is reported or retried. The HTTP status is ignored, redirects are followed,
// the fragment is never sent and the URL is sent as given. Cookies live in one
// process-wide store shared by all threads. A raised cancel token makes the
// fetch return (with what it has) within 200 ms. Any thread.
// Only http:// and https:// are fetched; a URL holding a space or a control
// byte cannot be sent as given and gives an empty result. Proxies come from
// the environment (http_proxy, https_proxy, no_proxy); loopback hosts never
// go through one.
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
    std::chrono::milliseconds stallTimeout{60000};  // nothing received for this long: give up
    std::size_t maxBodyBytes = 64u * 1024u * 1024u;
};
void SetTransportLimits(const TransportLimits& limits);
TransportLimits CurrentTransportLimits();

}  // namespace mofeng::net
