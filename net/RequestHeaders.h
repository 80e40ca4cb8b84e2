#pragma once

#include <string>

namespace mofeng::net {

// What one kind of request sends instead of the fetch's usual request shape;
// an empty field keeps the usual (the old agent, no referrer).
struct RequestHeaders {
    std::string userAgent;
    std::string referer;
};

}  // namespace mofeng::net
