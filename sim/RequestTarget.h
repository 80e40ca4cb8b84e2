#pragma once

#include <string>
#include <string_view>

namespace mofeng::sim {

enum class Endpoint { None, Search, Trend, Suggest };

struct RoutedRequest {
    Endpoint endpoint = Endpoint::None;
    std::string keyword;   // the decoded keyword value (bytes as sent, normally UTF-8)
    std::string callback;  // suggestion JSONP callback; only [A-Za-z0-9_$.] kept
};

// Maps a request target to an endpoint. Served are exactly
//   /search?initiative_id=staobaoz_20150308&js=1&q=…
//   /trendindex.json?query=…
//   /sug?code=utf-8&q=…[&callback=…] (other parameters are ignored)
// with the parameters in any order; anything else gives Endpoint::None.
RoutedRequest RouteTarget(std::string_view target);

}  // namespace mofeng::sim
