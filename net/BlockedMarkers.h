#pragma once

#include <array>
#include <string_view>

namespace mofeng::net {

// A reply is a login or verification page, not data, when the path of the
// address it came from (or was redirected to) holds one of these ...
inline constexpr std::array<std::string_view, 2> kBlockedPathMarkers = {"login", "punish"};
// ... or its body holds one of these (tokens of the verification page).
inline constexpr std::array<std::string_view, 2> kBlockedBodyMarkers = {"x5secdata",
                                                                        "_____tmd_____"};

// Whether the path of url (after the authority, before '?' and '#') holds a
// path marker, ASCII case ignored.
bool UrlPathIsBlocked(std::string_view url);
bool BodyIsBlocked(std::string_view body);

}  // namespace mofeng::net
