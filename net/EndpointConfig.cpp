#include "net/EndpointConfig.h"
#include "runtime/NumberOps.h"
#include "runtime/TextOps.h"

#include <cstdlib>

namespace mofeng::net {
namespace {

bool IsAsciiAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const char c = text[i];
        if (runtime::AsciiLower(c) != prefix[i]) {
            return false;
        }
    }
    return true;
}

// A DNS name or IPv4 address: letters, digits, '-', '.', '_'.
bool IsHostName(std::string_view host) {
    if (host.empty()) {
        return false;
    }
    for (const char c : host) {
        if (!IsAsciiAlnum(c) && c != '-' && c != '.' && c != '_') {
            return false;
        }
    }
    return true;
}

// "[...]" holding hex digits, ':' and '.' only.
bool IsBracketedIpv6(std::string_view host) {
    if (host.size() < 4 || host.front() != '[' || host.back() != ']') {
        return false;
    }
    for (const char c : host.substr(1, host.size() - 2)) {
        if (!IsHexDigit(c) && c != ':' && c != '.') {
            return false;
        }
    }
    return true;
}

// Decimal 1..65535 in at most five digits.
bool IsPort(std::string_view port) {
    const auto value = runtime::DigitsValue(port, 65535);
    return port.size() <= 5 && value && *value >= 1;
}

std::string BaseFromEnvironment(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    if (value == nullptr) {
        return fallback;
    }
    std::string normalized = NormalizeBaseUrl(value);
    return normalized.empty() ? fallback : normalized;
}

}  // namespace

std::string NormalizeBaseUrl(std::string_view text) {
    std::string_view scheme;
    if (StartsWithNoCase(text, "http://")) {
        scheme = "http://";
    } else if (StartsWithNoCase(text, "https://")) {
        scheme = "https://";
    } else {
        return {};
    }
    std::string_view authority = text.substr(scheme.size());
    if (!authority.empty() && authority.back() == '/') {
        authority.remove_suffix(1);
    }
    std::string_view host = authority;
    std::string_view port;
    const std::size_t colon = authority.rfind(':');
    const std::size_t bracket = authority.rfind(']');
    if (colon != std::string_view::npos && (bracket == std::string_view::npos || colon > bracket)) {
        host = authority.substr(0, colon);
        port = authority.substr(colon + 1);
        if (!IsPort(port)) {
            return {};
        }
    }
    if (!IsHostName(host) && !IsBracketedIpv6(host)) {
        return {};
    }
    return std::string(scheme) + std::string(authority);
}

EndpointConfig EndpointConfig::FromEnvironment() {
    EndpointConfig config;
    config.searchBase = BaseFromEnvironment("MOFENG_SEARCH_URL", config.searchBase);
    config.indexBase = BaseFromEnvironment("MOFENG_INDEX_URL", config.indexBase);
    config.suggestBase = BaseFromEnvironment("MOFENG_SUGGEST_URL", config.suggestBase);
    config.h5Base = BaseFromEnvironment("MOFENG_H5_URL", config.h5Base);
    return config;
}

std::string EndpointConfig::SearchPageUrl(std::string_view encodedQuery) const {
    return searchBase +
           "/search?initiative_id=staobaoz_20150308&js=1&q=" + std::string(encodedQuery);
}

std::string EndpointConfig::TrendUrl(std::string_view encodedQuery) const {
    return indexBase + "/trendindex.json?query=" + std::string(encodedQuery);
}

std::string EndpointConfig::SuggestUrl(std::string_view encodedQuery) const {
    return suggestBase + "/sug?code=utf-8&q=" + std::string(encodedQuery) +
           "&_ksTS=1391415790937_12555&callback=jsonp12556&k=1&area=c2c&bucketid=19";
}

}  // namespace mofeng::net
