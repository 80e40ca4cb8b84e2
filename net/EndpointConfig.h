#pragma once

#include <string>
#include <string_view>

#include "net/H5Api.h"

namespace mofeng::net {

// Base URLs (scheme://host[:port], no trailing slash) of the three remote
// endpoints; the fixed paths and queries are appended by their users.
struct EndpointConfig {
    std::string searchBase = "https://s.taobao.com";
    std::string indexBase = "https://shu.taobao.com";
    std::string suggestBase = "https://suggest.taobao.com";
    // Where the listing count comes from; with H5, the signed call to h5Base.
    SearchSource searchSource = SearchSource::Page;
    std::string h5Base = "https://h5api.m.taobao.com";
    H5Api h5;

    // Defaults overridden by MOFENG_SEARCH_URL, MOFENG_INDEX_URL, MOFENG_SUGGEST_URL,
    // MOFENG_H5_URL.
    static EndpointConfig FromEnvironment();

    // The search page address for an already encoded query value.
    std::string SearchPageUrl(std::string_view encodedQuery) const;
    std::string TrendUrl(std::string_view encodedQuery) const;
    std::string SuggestUrl(std::string_view encodedQuery) const;
    // The base URL the listing count is asked of: the search page's or h5Base.
    const std::string& ListingCountBase() const {
        return searchSource == SearchSource::H5 ? h5Base : searchBase;
    }
};

// A usable base URL: http:// or https://, a host, an optional port, nothing
// after it but an optional "/". Returns the normalised form (no trailing
// slash), or an empty string when the text is not usable.
std::string NormalizeBaseUrl(std::string_view text);

}  // namespace mofeng::net
