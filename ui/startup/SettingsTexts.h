#pragma once

#include <QString>

namespace mofeng::ui {

// The run settings as the seller types them in "设置" and as they are
// remembered: texts, so that a malformed value can be refused by the one
// resolution both front ends use (net::ResolveRunSettings). An empty text
// means "not given": the built-in default.
struct SettingsTexts {
    QString retries;          // extra tries of a failed fetch
    QString delayMs;          // between request starts, per host
    QString connectTimeoutS;  // seconds
    QString stallTimeoutS;    // seconds
    QString cookieFile;       // path of a cookies.txt file
    QString cookie;           // a pasted Cookie header: a credential, memory only
    QString proxy;            // http://, https:// or socks5:// URL
    QString caFile;           // PEM file of certificate authorities to trust too
    QString searchUrl;        // base URLs of the three endpoints
    QString indexUrl;
    QString suggestUrl;
    QString h5Url;                // base URL of the signed h5 search call
    QString searchSource;         // where the listing count comes from: "page" or "h5"
    int jobs = 1;                 // fetches a run keeps under way, 1..16
    bool restoreSession = true;   // the last lists come back at start-up
    bool suggestionTags = false;  // mining's extra source 联想标签 (keyword + tag)
    bool suggestWeight = false;   // the query also asks each keyword's 联想热度

    bool operator==(const SettingsTexts&) const = default;
};

}  // namespace mofeng::ui
