#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/KeywordData.h"

namespace mofeng::sim {

// The path of the signed h5 search call.
inline constexpr std::string_view kH5SearchPath =
    "/h5/mtop.relationrecommend.wirelessrecommend.recommend/2.0/";

// What the h5 endpoint answers one request with: a 200 JSONP body, and the
// Set-Cookie values of a freshly issued token (empty unless issued).
struct H5Answer {
    std::string body;
    std::vector<std::string> setCookies;
    std::string outcome;  // for the request record: "h5-ok", "h5-token-empty", ...
};

// The token protocol of the h5 search call. A request without the
// _m_h5_tk cookie gets FAIL_SYS_TOKEN_EMPTY, one whose token this endpoint
// did not issue or issued more than ttl ago gets FAIL_SYS_TOKEN_EXOIRED; both
// with a fresh token in _m_h5_tk ("<token>_<expiry ms>") and _m_h5_tk_enc.
// A token it knows must sign the request: sign = md5(token&t&appKey&data),
// else FAIL_SYS_ILLEGAL_ACCESS. Signed requests get the keyword's listing
// count, the number the search page shows as totalHits. Thread-safe.
class H5Endpoint final {
public:
    // ttl 0: tokens never expire.
    H5Endpoint(const KeywordData& data, std::uint64_t seed, std::chrono::seconds ttl);

    // query: the decoded parameters; cookies: the request's Cookie header.
    using Parameters = std::multimap<std::string, std::string>;
    H5Answer Answer(const Parameters& query, std::string_view cookies);
    // What a request past the block limit gets: RGV587_ERROR with a punish URL.
    static H5Answer Blocked(const Parameters& query);

private:
    std::string IssueToken(H5Answer& answer);

    const KeywordData& m_data;
    const std::uint64_t m_seed;
    const std::chrono::seconds m_ttl;
    std::mutex m_mutex;
    std::uint64_t m_issued = 0;                                             // guarded
    std::map<std::string, std::chrono::steady_clock::time_point> m_tokens;  // guarded
};

// The string member name of a JSON object text, decoded (\" \\ \/ \n \t
// \uXXXX of the basic plane); nullopt when absent or not a string.
std::optional<std::string> JsonStringMember(std::string_view object, std::string_view name);

}  // namespace mofeng::sim
