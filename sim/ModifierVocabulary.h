#pragma once

#include <span>
#include <string_view>

// The fixed word lists from which the simulated keyword graph is built. UTF-8.
namespace mofeng::sim {

struct Modifier {
    std::string_view text;
    bool leading;  // may also stand before the core word ("韩版连衣裙")
};

// Words that qualify a core word ("夏", "新款", "ins", "2026", ...). No word
// is the empty string.
std::span<const Modifier> Modifiers();

// Neighbouring product words that related searches drift to; several end in
// "裙" so that a must-contain filter on it keeps some of them.
std::span<const std::string_view> DriftCores();

}  // namespace mofeng::sim
