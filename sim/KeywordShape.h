#pragma once

#include <string>
#include <string_view>
#include <vector>

// A keyword seen as an optional leading modifier, a core word and trailing
// modifiers: "韩版" + "连衣裙" + {"夏", "显瘦"}. UTF-8.
namespace mofeng::sim {

struct KeywordShape {
    std::string leading;                // empty when none
    std::string core;                   // never empty unless the keyword is
    std::vector<std::string> trailing;  // in keyword order

    std::string Text() const;  // the parts concatenated
    int ModifierCount() const;
    bool HasModifier(std::string_view word) const;
};

// Splits a keyword with the longest vocabulary matches: trailing modifiers
// from the end, then at most one leading modifier, always keeping at least two
// code points of core. ParseKeyword(k).Text() == k for every k.
KeywordShape ParseKeyword(std::string_view keyword);

}  // namespace mofeng::sim
