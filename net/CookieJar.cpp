#include "net/CookieJar.h"

#include <curl/curl.h>

#include <algorithm>
#include <ctime>
#include <set>

#include "net/HeaderText.h"
#include "runtime/TextOps.h"

namespace mofeng::net {
namespace {

// Splits "a; b; c" into its trimmed parts.
std::vector<std::string_view> SplitAttributes(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(';', start), text.size());
        parts.push_back(TrimHeaderText(text.substr(start, end - start)));
        start = end + 1;
    }
    return parts;
}

bool EndsWithLabel(std::string_view host, std::string_view domain) {
    return host.size() > domain.size() && host.substr(host.size() - domain.size()) == domain &&
           host[host.size() - domain.size() - 1] == '.';
}

}  // namespace

bool DomainMatches(const Cookie& cookie, std::string_view host) {
    return cookie.domain.empty() || host == cookie.domain ||
           (cookie.includeSubdomains && EndsWithLabel(host, cookie.domain));
}

void CookieJar::Store(std::string_view host, std::string_view setCookie) {
    const std::vector<std::string_view> parts = SplitAttributes(setCookie);
    const std::size_t equals = parts.front().find('=');
    if (equals == std::string_view::npos || equals == 0) {
        return;
    }
    Cookie cookie;
    cookie.name = std::string(TrimHeaderText(parts.front().substr(0, equals)));
    cookie.value = std::string(TrimHeaderText(parts.front().substr(equals + 1)));
    cookie.domain = runtime::AsciiLower(host);
    bool expired = false;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const std::size_t eq = parts[i].find('=');
        const std::string key = runtime::AsciiLower(TrimHeaderText(parts[i].substr(0, eq)));
        const std::string_view value = eq == std::string_view::npos
                                           ? std::string_view()
                                           : TrimHeaderText(parts[i].substr(eq + 1));
        if (key == "domain" && !value.empty()) {
            std::string domain = runtime::AsciiLower(value);
            if (domain.front() == '.') {
                domain.erase(0, 1);
            }
            // A domain the host does not belong to is refused, as browsers do.
            if (domain != cookie.domain && !EndsWithLabel(cookie.domain, domain)) {
                return;
            }
            cookie.domain = std::move(domain);
            cookie.includeSubdomains = true;
        } else if (key == "max-age") {
            expired = !value.empty() && (value.front() == '-' ||
                                         value.find_first_not_of('0') == std::string_view::npos);
        } else if (key == "expires" && !value.empty()) {
            const std::time_t when = curl_getdate(std::string(value).c_str(), nullptr);
            expired = expired || (when != -1 && when < std::time(nullptr));
        }
    }

    std::lock_guard lock(m_mutex);
    std::deque<Cookie>& kept = m_byDomain[cookie.domain];
    kept.erase(std::remove_if(kept.begin(), kept.end(),
                              [&](const Cookie& old) { return old.name == cookie.name; }),
               kept.end());
    if (!expired) {
        kept.push_back(std::move(cookie));
    }
    std::size_t bytes = 0;
    for (const Cookie& each : kept) {
        bytes += each.Bytes();
    }
    while (!kept.empty() && (kept.size() > kMaxCookiesPerDomain || bytes > kMaxBytesPerDomain)) {
        bytes -= kept.front().Bytes();
        kept.pop_front();
    }
}

std::string CookieJar::HeaderFor(std::string_view host) const {
    const std::string lower = runtime::AsciiLower(host);
    std::string header;
    std::lock_guard lock(m_mutex);
    // The host itself, then each parent domain: a few map look-ups per fetch.
    for (std::string_view domain = lower;;) {
        if (const auto found = m_byDomain.find(domain); found != m_byDomain.end()) {
            for (const Cookie& cookie : found->second) {
                if (!DomainMatches(cookie, lower)) {
                    continue;
                }
                if (!header.empty()) {
                    header += "; ";
                }
                header += cookie.name + "=" + cookie.value;
            }
        }
        const std::size_t dot = domain.find('.');
        if (dot == std::string_view::npos) {
            break;
        }
        domain.remove_prefix(dot + 1);
    }
    return header;
}

std::size_t CookieJar::CountFor(std::string_view domain) const {
    std::lock_guard lock(m_mutex);
    const auto found = m_byDomain.find(runtime::AsciiLower(domain));
    return found == m_byDomain.end() ? 0 : found->second.size();
}

void CookieJar::Clear() {
    std::lock_guard lock(m_mutex);
    m_byDomain.clear();
}

CookieJar& ProcessCookieJar() {
    static CookieJar jar;
    return jar;
}

std::string ComposeCookieHeader(std::string_view host, const CookieJar& jar,
                                const LoginCookies& login) {
    std::string header = jar.HeaderFor(host);
    std::set<std::string, std::less<>> names;
    for (std::string_view rest = header; !rest.empty();) {
        const std::size_t end = std::min(rest.find("; "), rest.size());
        const std::string_view pair = rest.substr(0, end);
        names.insert(std::string(pair.substr(0, pair.find('='))));
        rest.remove_prefix(std::min(end + 2, rest.size()));
    }
    const std::string lower = runtime::AsciiLower(host);
    for (const auto* cookies : {&login.fromFile, &login.pasted}) {
        for (const Cookie& cookie : *cookies) {
            if (!DomainMatches(cookie, lower) || !names.insert(cookie.name).second) {
                continue;
            }
            if (!header.empty()) {
                header += "; ";
            }
            header += cookie.name + "=" + cookie.value;
        }
    }
    return header;
}

}  // namespace mofeng::net
