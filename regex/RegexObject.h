#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace mofeng::regex {

// One regular-expression search and its results. Texts in and out are GBK;
// matching is done on characters (the texts are converted to UTF-8 for the
// engine), so a match never starts or ends inside a double-byte character.
// Indexes are 1-based. No operation throws or reports: an invalid pattern
// makes Search return false and every result empty. One object belongs to
// one thread at a time.
class RegexObject {
public:
    RegexObject();
    ~RegexObject();
    RegexObject(RegexObject&&) noexcept;
    RegexObject& operator=(RegexObject&&) noexcept;
    RegexObject(const RegexObject&) = delete;
    RegexObject& operator=(const RegexObject&) = delete;

    // Defaults: case-insensitive, "^"/"$" at line breaks, all non-overlapping
    // matches left to right. "." does not match a line feed; \d is ASCII only.
    // A pattern is compiled once: a Search with the same pattern and options
    // as the one before reuses it. False for an invalid pattern (no results at
    // all), and also when a match attempt hit the backtracking limit: that
    // attempt is skipped and the search goes on (ending after a bounded number
    // of such attempts), the matches found stay readable, but Replace gives
    // the empty text.
    bool Search(std::string_view pattern, std::string_view subject, bool caseSensitive = false,
                bool multiLine = true, bool global = true);

    int MatchCount() const;
    // Converted to GBK on each call; matches are kept as offsets only.
    std::string MatchText(int match) const;
    // Empty for a group that took no part, or an index out of range.
    std::string SubMatchText(int match, int group) const;
    // Number of groups of the first match; 0 without a match.
    int SubMatchCount() const;
    // The pattern of the last Search; empty before the first.
    std::string PatternText() const;
    // The last subject with every match (or the first, without global)
    // replaced; "$1".."$9" and "$&" refer to the match, "$$" is a dollar.
    // The empty text before a Search or after one that returned false.
    std::string Replace(std::string_view replacement) const;
    // A new object with the same pattern, options, matches and subject.
    RegexObject Clone() const;
    // Drops the pattern, matches and subject.
    void Release();
    // Drops the matches and the subject once their results are read, so a
    // large subject is not kept; the pattern stays, compiled, for the next
    // Search. Afterwards there are no matches and Replace gives "".
    void ReleaseSubject();
    void EmptyOperation() const {}

private:
    struct State;
    // Group 0 is the whole match.
    std::string SubMatchTextAt(int match, uint32_t group) const;

    std::shared_ptr<State> m_state;  // shared by clones; immutable once searched
};

}  // namespace mofeng::regex
