#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace mofeng::net {

// Why a transfer did not deliver a whole reply; None when it did.
enum class TransportError {
    None,
    UnusableUrl,  // not http(s), unparsable, or holding bytes that cannot be sent
    UrlTooLong,   // longer than kMaxUrlBytes: never sent
    Connect,      // refused, unreachable
    Resolve,      // the host name does not resolve
    ConnectTimeout,
    Stall,         // under kStallMinBytes within one stall window
    Deadline,      // the whole fetch took longer than its overall deadline
    Dropped,       // the connection ended before the announced body was in
    BodyTooLarge,  // cut at the body limit
    TooManyRedirects,
    Certificate,  // the server's certificate was not accepted (never bypassed)
    Tls,          // the TLS handshake failed for another reason
    Cancelled,
};

// Longest URL a fetch sends; servers commonly refuse longer request lines.
inline constexpr std::size_t kMaxUrlBytes = 8192;

// One fetch as it went: redirects to the same scheme, host and port are
// followed, and so is an upgrade from http:// to https:// on the same host
// (any port); a redirect anywhere else ends the fetch with its 3xx reply and
// the refused target kept in refusedRedirect.
struct FetchResult {
    TransportError error = TransportError::None;
    long status = 0;  // HTTP status of the last reply; 0 when none arrived
    std::string finalUrl;
    std::string refusedRedirect;
    std::string contentType;
    std::string body;                                // what arrived, also after a failure
    std::optional<std::chrono::seconds> retryAfter;  // as the last reply sent it
    // With Certificate: why the certificate was refused (GBK, "已过期"),
    // empty when the library did not say.
    std::string certificateProblem;
};

// How a fetch counts for the caller.
enum class FetchOutcome {
    Reply,    // a reply the page logic reads
    Failed,   // a transport error, 429 or 5xx
    Blocked,  // a login or verification page
};

FetchOutcome ClassifyFetch(const FetchResult& result);

}  // namespace mofeng::net
