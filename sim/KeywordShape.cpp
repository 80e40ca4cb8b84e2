#include "sim/KeywordShape.h"

#include <algorithm>

#include "sim/ModifierVocabulary.h"
#include "sim/TextEscape.h"

namespace mofeng::sim {
namespace {

constexpr std::size_t kMinimumCoreCodePoints = 2;

bool LeavesCore(std::string_view rest) {
    return CodePointCount(rest) >= kMinimumCoreCodePoints;
}

// The longest modifier that ends the text and leaves enough core; empty when none.
std::string_view LongestTrailingModifier(std::string_view text) {
    std::string_view best;
    for (const Modifier& m : Modifiers()) {
        if (m.text.size() > best.size() && text.ends_with(m.text) &&
            LeavesCore(text.substr(0, text.size() - m.text.size()))) {
            best = m.text;
        }
    }
    return best;
}

std::string_view LongestLeadingModifier(std::string_view text) {
    std::string_view best;
    for (const Modifier& m : Modifiers()) {
        if (m.leading && m.text.size() > best.size() && text.starts_with(m.text) &&
            LeavesCore(text.substr(m.text.size()))) {
            best = m.text;
        }
    }
    return best;
}

}  // namespace

std::string KeywordShape::Text() const {
    std::string text = leading + core;
    for (const std::string& word : trailing) {
        text += word;
    }
    return text;
}

int KeywordShape::ModifierCount() const {
    return static_cast<int>(trailing.size()) + (leading.empty() ? 0 : 1);
}

bool KeywordShape::HasModifier(std::string_view word) const {
    return leading == word || std::find(trailing.begin(), trailing.end(), word) != trailing.end();
}

KeywordShape ParseKeyword(std::string_view keyword) {
    KeywordShape shape;
    std::string_view rest = keyword;
    for (;;) {
        const std::string_view word = LongestTrailingModifier(rest);
        if (word.empty()) {
            break;
        }
        shape.trailing.emplace_back(word);
        rest.remove_suffix(word.size());
    }
    std::reverse(shape.trailing.begin(), shape.trailing.end());
    const std::string_view lead = LongestLeadingModifier(rest);
    shape.leading = std::string(lead);
    rest.remove_prefix(lead.size());
    shape.core = std::string(rest);
    return shape;
}

}  // namespace mofeng::sim
