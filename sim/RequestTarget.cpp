#include "sim/RequestTarget.h"

#include <map>
#include <optional>

#include "sim/TextEscape.h"

namespace mofeng::sim {
namespace {

// Decoded query parameters; the first of repeated keys counts.
std::map<std::string, std::string> ParseQuery(std::string_view query) {
    std::map<std::string, std::string> params;
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view{} : query.substr(amp + 1);
        if (pair.empty()) {
            continue;
        }
        const std::size_t eq = pair.find('=');
        const std::string key = PercentDecode(pair.substr(0, eq));
        const std::string value =
            eq == std::string_view::npos ? std::string{} : PercentDecode(pair.substr(eq + 1));
        params.emplace(key, value);
    }
    return params;
}

std::optional<std::string> Param(const std::map<std::string, std::string>& params,
                                 const std::string& key) {
    const auto it = params.find(key);
    if (it == params.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::string SafeCallback(std::string_view name) {
    std::string out;
    for (char c : name) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
            c == '_' || c == '$' || c == '.') {
            out += c;
        }
    }
    return out;
}

}  // namespace

RoutedRequest RouteTarget(std::string_view target) {
    RoutedRequest routed;
    target = target.substr(0, target.find('#'));
    const std::size_t question = target.find('?');
    const std::string_view path = target.substr(0, question);
    const auto params = ParseQuery(
        question == std::string_view::npos ? std::string_view{} : target.substr(question + 1));
    if (path == "/search") {
        const auto q = Param(params, "q");
        if (q && Param(params, "initiative_id") == "staobaoz_20150308" &&
            Param(params, "js") == "1") {
            routed.endpoint = Endpoint::Search;
            routed.keyword = *q;
        }
    } else if (path == "/trendindex.json") {
        if (const auto query = Param(params, "query")) {
            routed.endpoint = Endpoint::Trend;
            routed.keyword = *query;
        }
    } else if (path == "/sug") {
        const auto q = Param(params, "q");
        if (q && Param(params, "code") == "utf-8") {
            routed.endpoint = Endpoint::Suggest;
            routed.keyword = *q;
            routed.callback = SafeCallback(Param(params, "callback").value_or(""));
        }
    }
    return routed;
}

}  // namespace mofeng::sim
