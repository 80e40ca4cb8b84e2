#include "net/PolicyFetch.h"

#include <algorithm>

#include "net/FetchSettings.h"
#include "net/HostPacer.h"
#include "net/HttpFetch.h"

namespace mofeng::net {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kFirstBackoff{500};
constexpr milliseconds kBackoffCap{8000};
constexpr std::chrono::seconds kRetryAfterCap{60};

bool Retryable(const FetchResult& result) {
    return result.error != TransportError::UnusableUrl &&
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
    fetched.reason = std::string(kHostUnavailableReason);
    return fetched;
}

}  // namespace

std::string HostKey(std::string_view url) {
    const std::size_t scheme = url.find("://");
    std::string_view rest = scheme == url.npos ? url : url.substr(scheme + 3);
    rest = rest.substr(0, rest.find_first_of("/?#"));
    if (const std::size_t at = rest.rfind('@'); at != rest.npos)
        rest.remove_prefix(at + 1);
    std::string host(rest);
    std::transform(host.begin(), host.end(), host.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; });
    return host;
}

milliseconds RetryDelay(int retry, std::optional<std::chrono::seconds> retryAfter,
                        std::mt19937& random) {
    if (retryAfter)
        return std::min(*retryAfter, kRetryAfterCap);
    const int doublings = std::clamp(retry - 1, 0, 8);
    const milliseconds ceiling = std::min(kBackoffCap, kFirstBackoff * (1 << doublings));
    std::uniform_int_distribution<long long> pick(0, ceiling.count());
    return milliseconds(pick(random));
}

std::string FailureReason(const FetchResult& result, FetchOutcome outcome) {
    if (outcome == FetchOutcome::Blocked)
        return "\xD0\xE8\xD2\xAA\xB5\xC7\xC2\xBC\xBB\xF2\xD1\xE9\xD6\xA4";  // 需要登录或验证
    switch (result.error) {
        case TransportError::None:
            if (outcome == FetchOutcome::Reply)
                return {};
            // 服务器返回 N
            return "\xB7\xFE\xCE\xF1\xC6\xF7\xB7\xB5\xBB\xD8 " + std::to_string(result.status);
        case TransportError::UnusableUrl:
            return "\xB5\xD8\xD6\xB7\xCE\xDE\xD0\xA7";  // 地址无效
        case TransportError::UrlTooLong:
            // 关键词过长，请求地址超过 N 字节
            return "\xB9\xD8\xBC\xFC\xB4\xCA\xB9\xFD\xB3\xA4\xA3\xAC\xC7\xEB\xC7\xF3\xB5\xD8\xD6"
                   "\xB7\xB3\xAC\xB9\xFD " +
                   std::to_string(kMaxUrlBytes) + " \xD7\xD6\xBD\xDA";
        case TransportError::Connect:
            return "\xC1\xAC\xBD\xD3\xCA\xA7\xB0\xDC";  // 连接失败
        case TransportError::ConnectTimeout:
            return "\xC1\xAC\xBD\xD3\xB3\xAC\xCA\xB1";  // 连接超时
        case TransportError::Stall:
            return "\xB4\xAB\xCA\xE4\xCD\xA3\xD6\xCD";  // 传输停滞
        case TransportError::Deadline:
            return "\xB3\xAC\xB9\xFD\xD7\xDC\xCA\xB1\xCF\xDE";  // 超过总时限
        case TransportError::Dropped:
            return "\xC1\xAC\xBD\xD3\xD6\xD0\xB6\xCF";  // 连接中断
        case TransportError::BodyTooLarge:
            return "\xBB\xD8\xB8\xB4\xB9\xFD\xB4\xF3";  // 回复过大
        case TransportError::TooManyRedirects:
            return "\xD6\xD8\xB6\xA8\xCF\xF2\xB9\xFD\xB6\xE0";  // 重定向过多
        case TransportError::Cancelled:
            return "\xD2\xD1\xC8\xA1\xCF\xFB";  // 已取消
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
        if (hosts != nullptr && hosts->IsMarked(host))
            return Unavailable(url);
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
        // ，已重试 N 次
        fetched.reason +=
            "\xA3\xAC\xD2\xD1\xD6\xD8\xCA\xD4 " + std::to_string(fetched.retries) + " \xB4\xCE";
    }
    return fetched;
}

}  // namespace mofeng::net
