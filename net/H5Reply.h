#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mofeng::net {

// What an h5 reply says, read by a bounded reader that takes only two
// members and skips the rest: at most kMaxH5Depth levels of nesting, strings
// kept up to kMaxH5Text bytes, at most kMaxH5Ret entries of "ret".
struct H5Reply {
    bool readable = false;         // one JSON object, bare or in a callback(...)
    std::vector<std::string> ret;  // "CODE::message" (UTF-8) as sent
    // data.mainInfo.totalResults: the digits of the string or number given
    // (a leading '-' kept); nullopt when absent or of another type.
    std::optional<std::string> totalResults;

    // The code of the first ret entry ("SUCCESS", "FAIL_SYS_TOKEN_EMPTY"),
    // empty without one; Message is the part after "::".
    std::string_view Code() const;
    std::string_view Message() const;
};

inline constexpr int kMaxH5Depth = 64;
inline constexpr std::size_t kMaxH5Text = 4096;
inline constexpr std::size_t kMaxH5Ret = 16;

H5Reply ReadH5Reply(std::string_view body);

}  // namespace mofeng::net
