#pragma once

#include <string>
#include <string_view>

namespace mofeng::net {

// One cookie as it is sent: "name=value" to hosts that domain-match it.
// Cookies are credentials: never printed, logged or exported.
struct Cookie {
    std::string domain;  // lower-case, no leading '.'
    bool includeSubdomains = false;
    std::string name;
    std::string value;

    std::size_t Bytes() const { return domain.size() + name.size() + value.size(); }
};

// Whether host (lower-case) is the cookie's domain, or below it when the
// cookie includes subdomains.
bool DomainMatches(const Cookie& cookie, std::string_view host);

}  // namespace mofeng::net
