#include "net/PolicyFetch.h"

#include <algorithm>

#include "net/FetchSettings.h"
#include "net/FetchTexts.h"
#include "net/HostPacer.h"
#include "net/HttpFetch.h"
#include "runtime/TextOps.h"

namespace mofeng::net {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kFirstBackoff{500};
constexpr milliseconds kBackoffCap{8000};
constexpr std::chrono::seconds kRetryAfterCap{60};

// A refused certificate stays refused: no retry.
bool Retryable(const FetchResult& result) {
    return result.error != TransportError::UnusableUrl &&
           result.error != TransportError::Certificate &&
           result.error != TransportError::UrlTooLong && result.error != TransportError::Cancelled;
}

std::mt19937& ThreadRandom() {
    thread_local std::mt19937 random{std::random_device{}()};
    return random;
}

PolicyFetchResult Unavailable(std::string_view url) {
    PolicyFetchResult fetched;
    fetched.last.error = TransportError::Connect;
    fetched.last.finalUrl = std::string(url);
    fetched.hostUnavailable = true;
    fetched.reason = HostUnavailableReason();
    return fetched;
}

}  // namespace

std::string HostKey(std::string_view url) {
    const std::size_t scheme = url.find("://");
    std::string_view rest = scheme == url.npos ? url : url.substr(scheme + 3);
    rest = rest.substr(0, rest.find_first_of("/?#"));
    if (const std::size_t at = rest.rfind('@'); at != rest.npos) {
        rest.remove_prefix(at + 1);
    }
    return runtime::AsciiLower(rest);
}

milliseconds RetryDelay(int retry, std::optional<std::chrono::seconds> retryAfter,
                        std::mt19937& random) {
    if (retryAfter) {
        return std::min(*retryAfter, kRetryAfterCap);
    }
    const int doublings = std::clamp(retry - 1, 0, 8);
    const milliseconds ceiling = std::min(kBackoffCap, kFirstBackoff * (1 << doublings));
    std::uniform_int_distribution<long long> pick(0, ceiling.count());
    return milliseconds(pick(random));
}

std::string FailureReason(const FetchResult& result, FetchOutcome outcome) {
    if (outcome == FetchOutcome::Blocked) {
        return NeedsLoginReason();
    }
    switch (result.error) {
        case TransportError::None:
            if (outcome == FetchOutcome::Reply) {
                return {};
            }
            return ServerAnsweredReason() + " " + std::to_string(result.status);
        case TransportError::UnusableUrl:
            return UnusableUrlReason();
        case TransportError::UrlTooLong:
            return KeywordTooLongReason() + " " + std::to_string(kMaxUrlBytes) + " " + BytesUnit();
        case TransportError::Connect:
            return ConnectFailedReason();
        case TransportError::Resolve:
            return UnresolvedHostReason();
        case TransportError::Certificate:
            return result.certificateProblem.empty()
                       ? BadCertificateReason()
                       : BadCertificateReason() + FullWidthColon() + result.certificateProblem;
        case TransportError::Tls:
            return TlsHandshakeReason();
        case TransportError::ConnectTimeout:
            return ConnectTimeoutReason();
        case TransportError::Stall:
            return StalledReason();
        case TransportError::Deadline:
            return DeadlineReason();
        case TransportError::Dropped:
            return DroppedReason();
        case TransportError::BodyTooLarge:
            return BodyTooLargeReason();
        case TransportError::TooManyRedirects:
            return TooManyRedirectsReason();
        case TransportError::Cancelled:
            return CancelledReason();
    }
    return {};
}

PolicyFetchResult FetchWithPolicy(std::string_view url, const runtime::CancelToken* cancel,
                                  HostAvailability* hosts, const RequestHeaders* headers) {
    const std::shared_ptr<const FetchSettings> settings = CurrentFetchSettings();
    const std::string host = HostKey(url);
    HostPacer& pacer = ProcessPacer();
    PolicyFetchResult fetched;
    for (int attempt = 0;; ++attempt) {
        if (hosts != nullptr && hosts->IsMarked(host)) {
            return Unavailable(url);
        }
        if (!pacer.WaitTurn(host, settings->minInterval, cancel)) {
            fetched.last = FetchResult{};
            fetched.last.error = TransportError::Cancelled;
            fetched.outcome = FetchOutcome::Failed;
            break;
        }
        fetched.last = HttpFetchResult(url, cancel, headers);
        fetched.outcome = ClassifyFetch(fetched.last);
        pacer.Record(host, settings->minInterval, fetched.outcome, fetched.last.status);
        fetched.retries = attempt;
        if (hosts != nullptr) {
            hosts->Record(host, fetched.last.error);
            // Failing against a host marked meanwhile: this lookup is one of
            // those the mark stands for.
            if (fetched.outcome == FetchOutcome::Failed &&
                IsConnectionFailure(fetched.last.error) && hosts->IsMarked(host)) {
                return Unavailable(url);
            }
        }
        if (fetched.outcome != FetchOutcome::Failed || attempt >= settings->retries ||
            !Retryable(fetched.last)) {
            break;
        }
        if (!SleepUnlessCancelled(RetryDelay(attempt + 1, fetched.last.retryAfter, ThreadRandom()),
                                  cancel)) {
            fetched.last.error = TransportError::Cancelled;
            break;
        }
    }
    fetched.reason = FailureReason(fetched.last, fetched.outcome);
    if (!fetched.reason.empty() && fetched.retries > 0) {
        fetched.reason +=
            RetriedPrefix() + " " + std::to_string(fetched.retries) + " " + TimesUnit();
    }
    return fetched;
}

}  // namespace mofeng::net
