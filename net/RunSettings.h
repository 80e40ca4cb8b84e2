#pragma once

#include <functional>
#include <optional>
#include <string>

#include "net/EndpointConfig.h"
#include "net/FetchSettings.h"
#include "net/HttpFetch.h"

namespace mofeng::net {

// What the user gave, as text, one field per setting; nullopt: not given.
// Both front ends fill it (options, the settings dialog) and resolve it here.
struct SettingsSources {
    std::optional<std::string> searchUrl;
    std::optional<std::string> indexUrl;
    std::optional<std::string> suggestUrl;
    std::optional<std::string> h5Url;
    std::optional<std::string> searchSource;  // "page" or "h5"
    std::optional<std::string> h5Api;         // dotted name: letters, digits, '.', '_'
    std::optional<std::string> h5AppKey;      // digits
    std::optional<std::string> h5AppId;       // digits
    bool demo = false;
    std::optional<std::string> retries;          // 0..10
    std::optional<std::string> delayMs;          // 0..60000
    std::optional<std::string> cookieFile;       // path of a cookies.txt file
    std::optional<std::string> cookie;           // a pasted Cookie header
    std::optional<std::string> proxy;            // http://, https:// or socks5:// URL
    std::optional<std::string> caFile;           // PEM certificate authorities to add
    std::optional<std::string> connectTimeoutS;  // 1..600
    std::optional<std::string> stallTimeoutS;    // 1..600
};

struct RunSettings {
    EndpointConfig endpoints;
    // Which endpoints the demo simulator serves (given by --demo and not by
    // an explicit URL); the caller starts it and calls UseDemoBase.
    bool searchFromDemo = false;
    bool indexFromDemo = false;
    bool suggestFromDemo = false;
    bool h5FromDemo = false;
    FetchSettings fetch;
    TransportLimits limits;

    bool NeedsDemo() const {
        return searchFromDemo || indexFromDemo || suggestFromDemo || h5FromDemo;
    }
    void UseDemoBase(const std::string& base);
    // Makes these the settings of every later fetch of the process.
    void Apply() const;
};

using Environment = std::function<const char*(const char* name)>;

// Each endpoint from the most specific source: an explicit URL, then demo,
// then MOFENG_SEARCH_URL / MOFENG_INDEX_URL / MOFENG_SUGGEST_URL /
// MOFENG_H5_URL, then the built-in default. A malformed value anywhere is an error: false, with a
// message naming the setting (never quoting a cookie) in error.
bool ResolveRunSettings(const SettingsSources& sources, const Environment& environment,
                        RunSettings& resolved, std::string& error);

// The process environment.
Environment ProcessEnvironment();

}  // namespace mofeng::net
