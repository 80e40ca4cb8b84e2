#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/KeywordShape.h"
#include "sim/StableHash.h"

namespace mofeng::sim {

// One entry of a suggestion reply. UTF-8.
struct SuggestionEntry {
    std::string text;       // the suggested keyword
    std::string shown;      // the JSON string content as sent: escapes and <b>…<\/b> included
    std::string candidate;  // shown without "<b>" and "<\/b>": what a client keeps
    long long count = 0;    // the number sent with it
};

using TrendValues = std::array<long long, 7>;  // oldest day first, yesterday last

// What the simulator answers for a keyword: a pure function of (seed, fanout,
// keyword). Keywords are UTF-8 as decoded from the request; invalid bytes and
// control characters are normalised first (NormalizeKeyword). Thread-safe.
//
// The keyword graph: a keyword is a core word with up to MaxModifiers() modifiers
// from a fixed vocabulary (both grow with fanout); related
// searches and suggestions add, swap or remove one modifier, and now and then
// drift to a neighbouring product word. The graph is finite.
class KeywordData final {
public:
    KeywordData(std::uint64_t seed, int fanout);

    std::uint64_t Seed() const { return m_seed; }
    int Fanout() const { return m_fanout; }
    int MaxModifiers() const { return m_maxModifiers; }

    // Listings found: 0 for the empty keyword and some others, up to some millions.
    long long ListingCount(std::string_view keyword) const;

    // The seven search-index values; nullopt when the reply carries no series
    // (the empty keyword and about 5% of the others).
    std::optional<TrendValues> Series(std::string_view keyword) const;

    // The related searches, in page order, 0 to 10 distinct keywords.
    std::vector<std::string> RelatedKeywords(std::string_view keyword) const;
    // The same as the link texts of the page show them (HtmlTextForGbk).
    std::vector<std::string> RelatedLinkTexts(std::string_view keyword) const;

    // The suggestions, in reply order, 0 to 10.
    std::vector<SuggestionEntry> Suggestions(std::string_view keyword) const;

    // The popularity weight the suggestion service gives the keyword itself,
    // as decimal text ("48213.5531"); empty for the empty keyword.
    std::string SuggestWeight(std::string_view keyword) const;

    // The day before the simulated "today": "YYYY-MM-DD", fixed per seed.
    std::string LastDate() const;

private:
    std::string_view PickModifier(StableRandom& random, const KeywordShape& shape,
                                  bool leadingOnly) const;
    void AddModifier(KeywordShape& shape, StableRandom& random) const;
    void SwapModifier(KeywordShape& shape, StableRandom& random) const;
    KeywordShape DriftShape(StableRandom& random) const;

    std::uint64_t m_seed;
    int m_fanout;
    int m_maxModifiers;
    std::vector<std::size_t> m_active;  // indexes into Modifiers(), seed order
};

}  // namespace mofeng::sim
