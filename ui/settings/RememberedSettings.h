#pragma once

#include "ui/startup/SettingsTexts.h"

namespace mofeng::ui {

// The QSettings key that says whether the last session's lists come back at
// start (default true). Off: the program starts empty, and the session keeps
// the new lists from then on.
inline constexpr char kRestoreSessionKey[] = "session/restore";

// QSettings keys of the remembered run settings. The pasted cookie has no
// key: it is never stored.
inline constexpr char kRetriesKey[] = "fetch/retries";
inline constexpr char kDelayMsKey[] = "fetch/delayMs";
inline constexpr char kConnectTimeoutKey[] = "fetch/connectTimeoutS";
inline constexpr char kStallTimeoutKey[] = "fetch/stallTimeoutS";
inline constexpr char kCookieFileKey[] = "fetch/cookieFile";
inline constexpr char kProxyKey[] = "fetch/proxy";
inline constexpr char kCaFileKey[] = "fetch/caFile";
inline constexpr char kJobsKey[] = "fetch/jobs";
inline constexpr char kSuggestionTagsKey[] = "mining/suggestionTags";
inline constexpr char kSuggestWeightKey[] = "query/suggestWeight";
inline constexpr char kSearchUrlKey[] = "endpoints/search";
inline constexpr char kIndexUrlKey[] = "endpoints/index";
inline constexpr char kSuggestUrlKey[] = "endpoints/suggest";
inline constexpr char kH5UrlKey[] = "endpoints/h5";
inline constexpr char kSearchSourceKey[] = "endpoints/searchSource";

// What the program's QSettings hold; the cookie is always empty. UI thread.
SettingsTexts LoadRememberedSettings();

// Remembers entered: each text that differs from shown (what the dialog
// showed when it opened) is written, an empty one removed, the others keep
// their remembered value, so an address that came from the command line or
// the environment is not taken for the seller's choice. Jobs, the session
// switch and the 联想标签 and 联想热度 switches are always written. The cookie is never written. UI
// thread.
void RememberSettings(const SettingsTexts& entered, const SettingsTexts& shown);

}  // namespace mofeng::ui
