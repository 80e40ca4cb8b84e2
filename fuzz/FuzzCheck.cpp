#include "fuzz/FuzzCheck.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace mofeng::fuzz {

void PropertyFailed(const char* property, const char* file, int line) {
    std::fprintf(stderr, "property does not hold: %s (%s:%d)\n", property, file, line);
    std::abort();
}

std::size_t Occurrences(std::string_view text, std::string_view sought) {
    std::size_t count = 0;
    for (std::size_t at = text.find(sought); at != std::string_view::npos;
         at = text.find(sought, at + 1)) {
        ++count;
    }
    return count;
}

bool IsWellFormedGbk(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80 || lead == 0x80) {
            continue;
        }
        if (lead == 0xFF || i + 1 >= text.size()) {
            return false;
        }
        const auto trail = static_cast<unsigned char>(text[++i]);
        if (trail < 0x40 || trail == 0x7F || trail == 0xFF) {
            return false;
        }
    }
    return true;
}

bool ContainsIgnoringAsciiCase(std::string_view text, std::string_view sought) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return std::search(text.begin(), text.end(), sought.begin(), sought.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

}  // namespace mofeng::fuzz
