#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "net/Cookie.h"

namespace mofeng::net {

// The seller's login: cookies of a Netscape cookies.txt file and/or a pasted
// Cookie header ("a=1; b=2", an optional "Cookie:" in front). The pasted
// cookies go to every endpoint host; the file's to the hosts they match.
struct LoginCookies {
    std::vector<Cookie> fromFile;
    std::vector<Cookie> pasted;  // domain empty: any host

    bool Empty() const { return fromFile.empty() && pasted.empty(); }
};

// Reads a cookies.txt file: seven tab-separated fields per line (domain,
// include-subdomains, path, secure, expiry, name, value), '#' comments,
// "#HttpOnly_" before a domain. Expired cookies are left out. False with a
// reason in error (never quoting a cookie) when a line is malformed or the
// file cannot be read.
bool ReadCookieFile(const std::filesystem::path& path, std::vector<Cookie>& cookies,
                    std::string& error);

// Parses a pasted header. False with a reason when a pair has no '=' or a
// byte that a header cannot carry.
bool ParseCookieHeader(std::string_view text, std::vector<Cookie>& cookies, std::string& error);

}  // namespace mofeng::net
