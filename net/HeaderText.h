#pragma once

#include <string_view>

namespace mofeng::net {

// text without the spaces and tabs around it, and without a trailing CR (a
// header line or a cookies.txt line as read).
inline std::string_view TrimHeaderText(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace mofeng::net
