#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/EscapedText.h"
#include "runtime/Md5Hex.h"

namespace mofeng::net {

// Where the listing count comes from: the search page, or the signed h5 call
// that the current search page makes itself.
enum class SearchSource { Page, H5 };

// The h5 call's names; settings, so a change on the server's side needs no
// new build. Its base URL is EndpointConfig::h5Base.
struct H5Api {
    std::string api = "mtop.relationrecommend.wirelessrecommend.recommend";
    std::string appKey = "12574478";
    std::string appId = "34385";
};

inline constexpr std::string_view kH5Version = "2.0";
// The token cookie; its value is "<token>_<expiry ms>".
inline constexpr std::string_view kH5TokenCookie = "_m_h5_tk";
// A current browser's agent: the h5 host refuses the old one.
inline constexpr std::string_view kBrowserUserAgent =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/124.0.0.0 Safari/537.36";

// Lower-case hex MD5 of bytes.
using runtime::Md5Hex;

// The data parameter: {"appId":"<appId>","params":"<JSON text>"}, the inner
// text holding q (keywordUtf8), page 1 and n 48.
std::string H5SearchData(const H5Api& api, std::string_view keywordUtf8);

// The token of a Cookie header: the part of _m_h5_tk's value before its
// first '_'; empty when the header has none.
std::string H5TokenFrom(std::string_view cookieHeader);

// md5(token & t & appKey & data), the sign the server checks.
std::string H5Sign(std::string_view token, std::int64_t tMs, std::string_view appKey,
                   std::string_view data);

// The whole GET address of one call to base (scheme://host[:port]).
std::string H5SearchUrl(std::string_view base, const H5Api& api, std::string_view data,
                        std::string_view token, std::int64_t tMs);

// Every byte but unreserved ones (A-Z a-z 0-9 - . _ ~) as %XX.
using runtime::PercentEncodeBytes;

}  // namespace mofeng::net
