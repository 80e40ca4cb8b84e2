#pragma once

#include <chrono>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "net/FetchResult.h"
#include "net/HostAvailability.h"
#include "net/RequestHeaders.h"
#include "runtime/CancelToken.h"

namespace mofeng::net {

// A fetch as a run makes it: paced per host, failures retried.
struct PolicyFetchResult {
    FetchResult last;  // the last try
    FetchOutcome outcome = FetchOutcome::Failed;
    int retries = 0;     // extra tries made
    std::string reason;  // GBK, empty for a reply: "连接超时，已重试 2 次"
    // The run's HostAvailability had (or now has) the host marked: no
    // further try was made, and reason is HostUnavailableReason().
    bool hostUnavailable = false;
};

// Wait before retry number retry (1-based): Retry-After when the reply sent
// one (capped at 60 s), else a full-jitter pick in [0, min(8 s, 0.5 s * 2^(retry-1))].
std::chrono::milliseconds RetryDelay(int retry, std::optional<std::chrono::seconds> retryAfter,
                                     std::mt19937& random);

// HttpFetchResult under the current FetchSettings: each try waits its turn at
// the host's pacer; a failed try (not a reply, not a blocked page) is tried
// again up to settings.retries times after RetryDelay. A raised cancel token
// ends any wait at once. With hosts, each try is noted there, and a host it
// has marked gets no try at all (nor a retry once marked). Any thread.
// headers as HttpFetchResult takes them.
PolicyFetchResult FetchWithPolicy(std::string_view url, const runtime::CancelToken* cancel,
                                  HostAvailability* hosts = nullptr,
                                  const RequestHeaders* headers = nullptr);

// The host of an http(s) URL as given (port included), lower-case: the key
// of per-host pacing and availability.
std::string HostKey(std::string_view url);

// Why a fetch did not give a reply (GBK), without the retry count.
std::string FailureReason(const FetchResult& result, FetchOutcome outcome);

}  // namespace mofeng::net
