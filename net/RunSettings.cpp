#include "net/RunSettings.h"

#include <cstdlib>
#include <fstream>

#include "runtime/NumberOps.h"

namespace mofeng::net {
namespace {

struct EndpointSource {
    const char* option;
    const char* variable;
    std::optional<std::string> SettingsSources::*given;
    std::string EndpointConfig::*base;
    bool RunSettings::*fromDemo;
};

const EndpointSource kEndpoints[] = {
    {"--search-url", "MOFENG_SEARCH_URL", &SettingsSources::searchUrl, &EndpointConfig::searchBase,
     &RunSettings::searchFromDemo},
    {"--index-url", "MOFENG_INDEX_URL", &SettingsSources::indexUrl, &EndpointConfig::indexBase,
     &RunSettings::indexFromDemo},
    {"--suggest-url", "MOFENG_SUGGEST_URL", &SettingsSources::suggestUrl,
     &EndpointConfig::suggestBase, &RunSettings::suggestFromDemo},
    {"--h5-url", "MOFENG_H5_URL", &SettingsSources::h5Url, &EndpointConfig::h5Base,
     &RunSettings::h5FromDemo},
};

// A name of the h5 call: at most 128 bytes of letters, digits, '.' and '_'
// (digits only when digitsOnly). It goes into the path unescaped.
bool ReadH5Name(const std::optional<std::string>& given, const char* option, bool digitsOnly,
                std::string& target, std::string& error) {
    if (!given) {
        return true;
    }
    bool usable = !given->empty() && given->size() <= 128;
    for (const char c : *given) {
        const bool digit = c >= '0' && c <= '9';
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        usable = usable && (digit || (!digitsOnly && (letter || c == '.' || c == '_')));
    }
    if (!usable) {
        error = std::string(option) + ": '" + *given + "' is not usable (expected " +
                (digitsOnly ? "digits" : "letters, digits, '.' and '_'") + ")";
        return false;
    }
    target = *given;
    return true;
}

// A whole number within [low, high] in at most nine digits; nullopt otherwise.
std::optional<long> WholeNumber(const std::string& text, long low, long high) {
    const auto value = runtime::DigitsValue(text, static_cast<std::uint64_t>(high));
    if (!value || text.size() > 9 || static_cast<long>(*value) < low) {
        return std::nullopt;
    }
    return static_cast<long>(*value);
}

bool ReadNumber(const std::optional<std::string>& given, const char* name, long low, long high,
                long& target, std::string& error) {
    if (!given) {
        return true;
    }
    const auto value = WholeNumber(*given, low, high);
    if (!value) {
        error = std::string(name) + ": '" + *given + "' is not a whole number from " +
                std::to_string(low) + " to " + std::to_string(high);
        return false;
    }
    target = *value;
    return true;
}

bool UsableProxy(const std::string& proxy) {
    for (const char* scheme : {"http://", "https://", "socks5://", "socks5h://"}) {
        const std::string prefix(scheme);
        if (proxy.size() > prefix.size() && proxy.compare(0, prefix.size(), prefix) == 0) {
            return proxy.find_first_of(" \t\r\n") == std::string::npos;
        }
    }
    return false;
}

}  // namespace

void RunSettings::UseDemoBase(const std::string& base) {
    for (const EndpointSource& source : kEndpoints) {
        if (this->*source.fromDemo) {
            endpoints.*source.base = base;
        }
    }
}

void RunSettings::Apply() const {
    SetTransportLimits(limits);
    SetFetchSettings(fetch);
}

Environment ProcessEnvironment() {
    return [](const char* name) { return std::getenv(name); };
}

bool ResolveRunSettings(const SettingsSources& sources, const Environment& environment,
                        RunSettings& resolved, std::string& error) {
    resolved = RunSettings{};
    resolved.limits = TransportLimits{};
    for (const EndpointSource& source : kEndpoints) {
        const std::optional<std::string>& given = sources.*source.given;
        std::string text;
        std::string origin;
        if (given) {
            text = *given;
            origin = source.option;
        } else if (sources.demo) {
            resolved.*source.fromDemo = true;
            continue;
        } else if (const char* variable = environment ? environment(source.variable) : nullptr) {
            text = variable;
            origin = source.variable;
        } else {
            continue;
        }
        std::string base = NormalizeBaseUrl(text);
        if (base.empty()) {
            error = origin + ": '" + text +
                    "' is not a usable base URL (expected http[s]://host[:port])";
            return false;
        }
        resolved.endpoints.*source.base = std::move(base);
    }

    long retries = resolved.fetch.retries;
    long delay = 0;
    long connect = static_cast<long>(resolved.limits.connectTimeout.count() / 1000);
    long stall = static_cast<long>(resolved.limits.stallTimeout.count() / 1000);
    if (!ReadNumber(sources.retries, "--retries", 0, 10, retries, error) ||
        !ReadNumber(sources.delayMs, "--delay-ms", 0, 60000, delay, error) ||
        !ReadNumber(sources.connectTimeoutS, "--connect-timeout-s", 1, 600, connect, error) ||
        !ReadNumber(sources.stallTimeoutS, "--stall-timeout-s", 1, 600, stall, error)) {
        return false;
    }
    if (sources.searchSource && *sources.searchSource != "page") {
        if (*sources.searchSource != "h5") {
            error = "--search-source: '" + *sources.searchSource + "' is not page or h5";
            return false;
        }
        resolved.endpoints.searchSource = SearchSource::H5;
    }
    H5Api& h5 = resolved.endpoints.h5;
    if (!ReadH5Name(sources.h5Api, "--h5-api", false, h5.api, error) ||
        !ReadH5Name(sources.h5AppKey, "--h5-app-key", true, h5.appKey, error) ||
        !ReadH5Name(sources.h5AppId, "--h5-app-id", true, h5.appId, error)) {
        return false;
    }
    resolved.fetch.retries = static_cast<int>(retries);
    resolved.fetch.minInterval = std::chrono::milliseconds(delay);
    resolved.limits.connectTimeout = std::chrono::seconds(connect);
    resolved.limits.stallTimeout = std::chrono::seconds(stall);

    if (sources.proxy && !sources.proxy->empty()) {
        if (!UsableProxy(*sources.proxy)) {
            // Not quoted: a proxy URL may carry a password.
            error =
                "--proxy: not a usable proxy (expected http://, https:// or "
                "socks5://host:port)";
            return false;
        }
        resolved.fetch.proxy = *sources.proxy;
    }
    if (sources.caFile && !sources.caFile->empty()) {
        // Read by the TLS library at each handshake; refuse a file that is not
        // there now rather than have every fetch fail on it later.
        std::ifstream file(*sources.caFile, std::ios::binary);
        std::string head(65536, '\0');
        if (file) {
            head.resize(static_cast<std::size_t>(
                file.read(head.data(), static_cast<std::streamsize>(head.size())).gcount()));
        }
        if (!file.is_open() || head.find("-----BEGIN CERTIFICATE-----") == std::string::npos) {
            error = "--ca-file: '" + *sources.caFile + "' is not a readable PEM certificate file";
            return false;
        }
        resolved.fetch.caFile = *sources.caFile;
    }
    if (sources.cookieFile && !sources.cookieFile->empty()) {
        std::string why;
        if (!ReadCookieFile(*sources.cookieFile, resolved.fetch.login.fromFile, why)) {
            error = "--cookie-file: '" + *sources.cookieFile + "': " + why;
            return false;
        }
        resolved.fetch.cookieFile = *sources.cookieFile;
    }
    if (sources.cookie && !sources.cookie->empty()) {
        std::string why;
        if (!ParseCookieHeader(*sources.cookie, resolved.fetch.login.pasted, why)) {
            error = "--cookie: " + why;
            return false;
        }
    }
    return true;
}

}  // namespace mofeng::net
