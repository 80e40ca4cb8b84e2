#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "net/EndpointConfig.h"
#include "net/FetchResult.h"
#include "runtime/CancelToken.h"

namespace mofeng::net {
struct FetchSettings;
}

namespace mofeng::app {

// How an endpoint answered one request for a common keyword.
enum class EndpointVerdict {
    Usable,         // 可用: the value the lookups read was there
    NeedsLogin,     // 需要登录: a login or verification page
    FormatChanged,  // 格式已变: a reply without that value
    Unreachable,    // 无法连接: no usable reply (transport failure, 5xx, 429)
    Retired,        // 已停用: the host does not resolve, or the path is gone (404)
};

enum class CheckedEndpoint { Search, Index, Suggest };

struct EndpointCheckResult {
    CheckedEndpoint endpoint = CheckedEndpoint::Search;
    std::string url;  // the address asked, as sent
    EndpointVerdict verdict = EndpointVerdict::Unreachable;
    std::string reason;  // GBK; what was found or why not
};

// "女装" (GBK): common enough that every endpoint has something for it.
inline constexpr std::string_view kCheckKeyword = "\xC5\xAE\xD7\xB0";

// GBK texts: 可用 / 需要登录 / 格式已变 / 无法连接 / 已停用.
std::string_view VerdictText(EndpointVerdict verdict);
// GBK: 搜索页 / 指数 / 联想词.
std::string_view EndpointName(CheckedEndpoint endpoint);
// "search", "index", "suggest" (for machine-readable output).
std::string_view EndpointKey(CheckedEndpoint endpoint);

// The verdict on one fetch of endpoint (pure: no network).
EndpointCheckResult JudgeEndpointReply(CheckedEndpoint endpoint, const net::FetchResult& fetched);

// Asks each of the three endpoints once for kCheckKeyword, with settings
// (cookies, proxy, CA file) and no retry, pacing or anything else sent;
// results in the order search, index, suggest. A raised cancel token ends
// the fetch under way. Any thread.
std::vector<EndpointCheckResult> CheckEndpoints(const net::EndpointConfig& endpoints,
                                                const net::FetchSettings& settings,
                                                const runtime::CancelToken* cancel = nullptr);

inline bool AllUsable(const std::vector<EndpointCheckResult>& results) {
    for (const EndpointCheckResult& result : results) {
        if (result.verdict != EndpointVerdict::Usable) {
            return false;
        }
    }
    return true;
}

}  // namespace mofeng::app
