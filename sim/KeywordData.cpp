#include "sim/KeywordData.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "runtime/TextOps.h"
#include "sim/ModifierVocabulary.h"
#include "sim/TextEscape.h"

namespace mofeng::sim {
namespace {

enum Salt : std::uint64_t {
    kSaltVocabulary = 1,
    kSaltCount = 2,
    kSaltSeries = 3,
    kSaltRelated = 4,
    kSaltSuggest = 5,
    kSaltSuggestWeight = 6,
};

constexpr std::string_view kBoldOpen = "<b>";
constexpr std::string_view kBoldClose = "<\\/b>";

double LogUniform(StableRandom& random, double low, double high) {
    return std::exp(std::log(low) + random.Unit() * (std::log(high) - std::log(low)));
}

// Page lengths cluster at the full ten, as on the real pages.
std::size_t ListLength(StableRandom& random, double emptyChance) {
    if (random.Chance(emptyChance)) {
        return 0;
    }
    return random.Chance(0.6) ? 10 : static_cast<std::size_t>(random.Between(1, 9));
}

// Every occurrence of tag removed, ASCII letters matched regardless of case.
std::string RemoveTag(std::string_view text, std::string_view tag) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::string_view rest = text.substr(i);
        const bool match = rest.size() >= tag.size() &&
                           std::equal(tag.begin(), tag.end(), rest.begin(), [](char a, char b) {
                               return runtime::AsciiLower(a) == runtime::AsciiLower(b);
                           });
        if (match) {
            i += tag.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

void AppendDistinct(std::vector<std::string>& out, std::string text, std::string_view self) {
    if (!text.empty() && text != self && std::find(out.begin(), out.end(), text) == out.end()) {
        out.push_back(std::move(text));
    }
}

}  // namespace

KeywordData::KeywordData(std::uint64_t seed, int fanout)
    : m_seed(seed), m_fanout(std::clamp(fanout, 1, 8)), m_maxModifiers(2 + (m_fanout - 1) / 2) {
    const std::size_t all = Modifiers().size();
    std::vector<std::size_t> order(all);
    for (std::size_t i = 0; i < all; ++i) {
        order[i] = i;
    }
    StableRandom random(StableHash(m_seed, "vocabulary", kSaltVocabulary));
    for (std::size_t i = all - 1; i > 0; --i) {
        std::swap(order[i],
                  order[static_cast<std::size_t>(random.Between(0, static_cast<std::int64_t>(i)))]);
    }
    // Odd fanouts add a modifier slot, even ones widen the vocabulary: with the
    // seed 连衣裙 a full mining run finds about 4k, 10k, 27k, 80k keywords
    // for fanout 1 to 4.
    const std::size_t vocabulary = m_fanout % 2 == 1 ? 20 : 36;
    order.resize(std::min(all, vocabulary));
    m_active = std::move(order);
}

long long KeywordData::ListingCount(std::string_view keyword) const {
    const std::string text = NormalizeKeyword(keyword);
    if (text.empty()) {
        return 0;
    }
    StableRandom random(StableHash(m_seed, text, kSaltCount));
    const int modifiers = ParseKeyword(text).ModifierCount();
    if (random.Chance(0.04 + 0.025 * modifiers)) {
        return 0;
    }
    const double value = LogUniform(random, 600.0, 9.0e6) * std::exp(-0.9 * modifiers);
    return std::max(1LL, std::llround(value));
}

std::optional<TrendValues> KeywordData::Series(std::string_view keyword) const {
    const std::string text = NormalizeKeyword(keyword);
    if (text.empty()) {
        return std::nullopt;
    }
    StableRandom random(StableHash(m_seed, text, kSaltSeries));
    if (random.Chance(0.05)) {
        return std::nullopt;
    }
    const int modifiers = ParseKeyword(text).ModifierCount();
    const double level = LogUniform(random, 20.0, 80000.0) / (1.0 + 0.5 * modifiers);
    const double kind = random.Unit();
    const double growth = 0.02 + 0.13 * random.Unit();
    double factor = 1.0;
    if (kind < 0.3) {
        factor = 1.0 + growth;  // rising
    } else if (kind < 0.55) {
        factor = 1.0 - growth;  // falling
    }
    const double noise = kind < 0.8 ? 0.03 : 0.3;  // the last fifth is erratic
    TrendValues values{};
    double current = level;
    for (long long& v : values) {
        const double jitter = 1.0 + noise * (2.0 * random.Unit() - 1.0);
        v = std::max(1LL, std::llround(current * jitter));
        current *= factor;
    }
    if (random.Chance(0.06)) {
        values[static_cast<std::size_t>(random.Between(0, 6))] = 0;  // a day without data
    }
    return values;
}

std::string_view KeywordData::PickModifier(StableRandom& random, const KeywordShape& shape,
                                           bool leadingOnly) const {
    for (int attempt = 0; attempt < 16; ++attempt) {
        const auto index = static_cast<std::size_t>(
            random.Between(0, static_cast<std::int64_t>(m_active.size()) - 1));
        const Modifier& m = Modifiers()[m_active[index]];
        if ((!leadingOnly || m.leading) && !shape.HasModifier(m.text)) {
            return m.text;
        }
    }
    return {};
}

void KeywordData::AddModifier(KeywordShape& shape, StableRandom& random) const {
    const bool asLeading = shape.leading.empty() && random.Chance(0.3);
    const std::string_view word = PickModifier(random, shape, asLeading);
    if (word.empty()) {
        return;
    }
    if (asLeading) {
        shape.leading = std::string(word);
        return;
    }
    const auto at = random.Between(0, static_cast<std::int64_t>(shape.trailing.size()));
    shape.trailing.insert(shape.trailing.begin() + at, std::string(word));
}

void KeywordData::SwapModifier(KeywordShape& shape, StableRandom& random) const {
    const auto slots = static_cast<std::int64_t>(shape.ModifierCount());
    if (slots == 0) {
        return;
    }
    const auto slot = random.Between(0, slots - 1);
    const bool leadingSlot = !shape.leading.empty() && slot == 0;
    const std::string_view word = PickModifier(random, shape, leadingSlot);
    if (word.empty()) {
        return;
    }
    if (leadingSlot) {
        shape.leading = std::string(word);
    } else {
        shape.trailing[static_cast<std::size_t>(slot - (shape.leading.empty() ? 0 : 1))] =
            std::string(word);
    }
}

KeywordShape KeywordData::DriftShape(StableRandom& random) const {
    KeywordShape shape;
    const auto cores = DriftCores();
    shape.core = std::string(cores[static_cast<std::size_t>(
        random.Between(0, static_cast<std::int64_t>(cores.size()) - 1))]);
    if (random.Chance(0.6)) {
        AddModifier(shape, random);
    }
    return shape;
}

std::vector<std::string> KeywordData::RelatedKeywords(std::string_view keyword) const {
    const std::string text = NormalizeKeyword(keyword);
    std::vector<std::string> out;
    if (text.empty()) {
        return out;
    }
    StableRandom random(StableHash(m_seed, text, kSaltRelated));
    const std::size_t wanted = ListLength(random, 0.08);
    const KeywordShape shape = ParseKeyword(text);
    const bool canAdd = shape.ModifierCount() < MaxModifiers();
    for (int attempt = 0; attempt < 60 && out.size() < wanted; ++attempt) {
        KeywordShape next = shape;
        const double op = random.Unit();
        if (op < 0.1) {
            next = DriftShape(random);
        } else if (canAdd && op < 0.65) {
            AddModifier(next, random);
        } else if (shape.ModifierCount() > 0 && op < 0.9) {
            SwapModifier(next, random);
        } else if (shape.ModifierCount() > 0) {
            const auto slot = random.Between(0, shape.ModifierCount() - 1);
            if (!next.leading.empty() && slot == 0) {
                next.leading.clear();
            } else {
                next.trailing.erase(next.trailing.begin() +
                                    (slot - (next.leading.empty() ? 0 : 1)));
            }
        } else if (canAdd) {
            AddModifier(next, random);
        }
        AppendDistinct(out, next.Text(), text);
    }
    return out;
}

std::vector<std::string> KeywordData::RelatedLinkTexts(std::string_view keyword) const {
    std::vector<std::string> texts = RelatedKeywords(keyword);
    for (std::string& t : texts) {
        t = HtmlTextForGbk(t);
    }
    return texts;
}

std::string KeywordData::SuggestWeight(std::string_view keyword) const {
    const std::string text = NormalizeKeyword(keyword);
    if (text.empty()) {
        return {};
    }
    StableRandom random(StableHash(m_seed, text, kSaltSuggestWeight));
    const std::uint64_t whole = 10 + random.Next() % 2'000'000;
    const std::uint64_t fraction = random.Next() % 10'000;
    std::string digits = std::to_string(fraction);
    return std::to_string(whole) + "." + std::string(4 - digits.size(), '0') + digits;
}

std::vector<SuggestionEntry> KeywordData::Suggestions(std::string_view keyword) const {
    const std::string text = NormalizeKeyword(keyword);
    std::vector<SuggestionEntry> out;
    if (text.empty()) {
        return out;
    }
    StableRandom random(StableHash(m_seed, text, kSaltSuggest));
    const std::size_t wanted = ListLength(random, 0.1);
    const KeywordShape shape = ParseKeyword(text);
    const bool canAdd = shape.ModifierCount() < MaxModifiers();
    std::vector<std::string> seen;
    for (int attempt = 0; attempt < 60 && out.size() < wanted; ++attempt) {
        SuggestionEntry entry;
        const double op = random.Unit();
        const bool drift = op >= 0.92;
        if (!drift && canAdd && (op < 0.75 || shape.ModifierCount() == 0)) {
            // A completion of what was typed; the completed part is often in bold.
            const std::string_view word = PickModifier(random, shape, false);
            entry.text = text + std::string(word);
            entry.shown = random.Chance(0.5) ? JsonStringContent(text) + std::string(kBoldOpen) +
                                                   JsonStringContent(word) + std::string(kBoldClose)
                                             : JsonStringContent(entry.text);
        } else {
            KeywordShape next = shape;
            if (!drift) {
                SwapModifier(next, random);
            } else {
                next = DriftShape(random);
            }
            entry.text = next.Text();
            entry.shown = JsonStringContent(entry.text);
        }
        if (entry.text == text || std::find(seen.begin(), seen.end(), entry.text) != seen.end()) {
            continue;
        }
        seen.push_back(entry.text);
        entry.candidate = RemoveTag(RemoveTag(entry.shown, kBoldOpen), kBoldClose);
        entry.count = ListingCount(entry.text);
        out.push_back(std::move(entry));
    }
    return out;
}

std::string KeywordData::LastDate() const {
    using namespace std::chrono;
    const sys_days day = sys_days{year{2026} / May / 1} + days{static_cast<int>(m_seed % 120)};
    const year_month_day ymd{day};
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
    return buffer;
}

}  // namespace mofeng::sim
