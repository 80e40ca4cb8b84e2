#include "sim/H5Endpoint.h"

#include <cstdio>

#include "runtime/Md5Hex.h"
#include "runtime/Utf8Append.h"
#include "sim/StableHash.h"
#include "sim/TextEscape.h"

namespace mofeng::sim {
namespace {

using Clock = std::chrono::steady_clock;

std::string Parameter(const H5Endpoint::Parameters& query, const std::string& name) {
    const auto found = query.find(name);
    return found == query.end() ? std::string() : found->second;
}

// The JSONP callback named by the request, only [A-Za-z0-9_$.] kept.
std::string Callback(const H5Endpoint::Parameters& query) {
    std::string name;
    for (const char c : Parameter(query, "callback")) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
            c == '_' || c == '$' || c == '.') {
            name += c;
        }
    }
    return name.empty() ? "mtopjsonp1" : name;
}

std::string Reply(const H5Endpoint::Parameters& query, std::string_view ret,
                  std::string_view data) {
    return Callback(query) +
           "({\"api\":\"mtop.relationrecommend.wirelessrecommend.recommend\",\"data\":" +
           std::string(data) + ",\"ret\":[\"" + std::string(ret) + "\"],\"v\":\"2.0\"})";
}

// The token part of the _m_h5_tk cookie; nullopt without the cookie.
std::optional<std::string> TokenCookie(std::string_view cookies) {
    constexpr std::string_view kName = "_m_h5_tk=";
    std::size_t from = 0;
    while (from < cookies.size()) {
        while (from < cookies.size() && (cookies[from] == ' ' || cookies[from] == ';')) {
            ++from;
        }
        if (cookies.substr(from, kName.size()) == kName) {
            std::string_view value = cookies.substr(from + kName.size());
            value = value.substr(0, value.find(';'));
            return std::string(value.substr(0, value.find('_')));
        }
        const std::size_t next = cookies.find(';', from);
        if (next == cookies.npos) {
            break;
        }
        from = next;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> JsonStringMember(std::string_view object, std::string_view name) {
    const std::string key = "\"" + std::string(name) + "\"";
    std::size_t at = object.find(key);
    if (at == object.npos) {
        return std::nullopt;
    }
    at += key.size();
    while (at < object.size() && (object[at] == ' ' || object[at] == ':')) {
        ++at;
    }
    if (at >= object.size() || object[at] != '"') {
        return std::nullopt;
    }
    std::string value;
    for (++at; at < object.size(); ++at) {
        const char c = object[at];
        if (c == '"') {
            return value;
        }
        if (c != '\\') {
            value += c;
            continue;
        }
        if (++at >= object.size()) {
            return std::nullopt;
        }
        switch (object[at]) {
            case 'n':
                value += '\n';
                break;
            case 't':
                value += '\t';
                break;
            case 'u': {
                if (at + 4 >= object.size()) {
                    return std::nullopt;
                }
                unsigned code = 0;
                if (std::sscanf(std::string(object.substr(at + 1, 4)).c_str(), "%4x", &code) != 1) {
                    return std::nullopt;
                }
                runtime::AppendUtf8(value, code);
                at += 4;
                break;
            }
            default:
                value += object[at];
        }
    }
    return std::nullopt;
}

H5Endpoint::H5Endpoint(const KeywordData& data, std::uint64_t seed, std::chrono::seconds ttl)
    : m_data(data), m_seed(seed), m_ttl(ttl) {}

std::string H5Endpoint::IssueToken(H5Answer& answer) {
    char token[40];
    std::uint64_t number = 0;
    {
        std::lock_guard lock(m_mutex);
        number = ++m_issued;
    }
    std::snprintf(token, sizeof token, "%016llx%016llx",
                  static_cast<unsigned long long>(Mix64(m_seed ^ (number * 0x9E3779B97F4A7C15ULL))),
                  static_cast<unsigned long long>(Mix64(number + 0x68356170ULL)));
    {
        std::lock_guard lock(m_mutex);
        m_tokens[token] = Clock::now();
    }
    const long long expiry =
        std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::system_clock::now().time_since_epoch() +
            (m_ttl.count() > 0 ? std::chrono::seconds(m_ttl) : std::chrono::hours(24)))
            .count();
    answer.setCookies.push_back("_m_h5_tk=" + std::string(token) + "_" + std::to_string(expiry) +
                                "; Path=/");
    answer.setCookies.push_back("_m_h5_tk_enc=" + runtime::Md5Hex(std::string(token) + "enc") +
                                "; Path=/");
    return token;
}

H5Answer H5Endpoint::Answer(const Parameters& query, std::string_view cookies) {
    H5Answer answer;
    const std::optional<std::string> token = TokenCookie(cookies);
    bool known = false;
    if (token) {
        std::lock_guard lock(m_mutex);
        const auto found = m_tokens.find(*token);
        known =
            found != m_tokens.end() && (m_ttl.count() == 0 || Clock::now() - found->second < m_ttl);
    }
    if (!token || token->empty()) {
        IssueToken(answer);
        answer.outcome = "h5-token-empty";
        answer.body = Reply(query, "FAIL_SYS_TOKEN_EMPTY::\\u4ee4\\u724c\\u4e3a\\u7a7a", "{}");
        return answer;
    }
    if (!known) {
        IssueToken(answer);
        answer.outcome = "h5-token-expired";
        answer.body = Reply(query, "FAIL_SYS_TOKEN_EXOIRED::\\u4ee4\\u724c\\u8fc7\\u671f", "{}");
        return answer;
    }
    const std::string data = Parameter(query, "data");
    const std::string expected = runtime::Md5Hex(*token + "&" + Parameter(query, "t") + "&" +
                                                 Parameter(query, "appKey") + "&" + data);
    if (Parameter(query, "sign") != expected) {
        answer.outcome = "h5-bad-sign";
        answer.body = Reply(query, "FAIL_SYS_ILLEGAL_ACCESS::\\u975e\\u6cd5\\u8bf7\\u6c42", "{}");
        return answer;
    }
    const std::optional<std::string> params = JsonStringMember(data, "params");
    const std::optional<std::string> keyword =
        params ? JsonStringMember(*params, "q") : std::nullopt;
    if (!keyword) {
        answer.outcome = "h5-bad-params";
        answer.body =
            Reply(query, "FAIL_SYS_PARAM_FORMAT_ERROR::\\u53c2\\u6570\\u9519\\u8bef", "{}");
        return answer;
    }
    const long long count = m_data.ListingCount(NormalizeKeyword(*keyword));
    answer.outcome = "h5-ok";
    answer.body = Reply(query, "SUCCESS::\\u8c03\\u7528\\u6210\\u529f",
                        "{\"mainInfo\":{\"page\":1,\"totalResults\":\"" + std::to_string(count) +
                            "\"},\"itemsArray\":[]}");
    return answer;
}

H5Answer H5Endpoint::Blocked(const Parameters& query) {
    H5Answer answer;
    answer.outcome = "h5-blocked";
    answer.body =
        Reply(query, "RGV587_ERROR::SM::\\u54ce\\u54df\\u5582,\\u88ab\\u6324\\u7206\\u5566",
              "{\"url\":\"/punish?x5secdata=sim\"}");
    return answer;
}

}  // namespace mofeng::sim
