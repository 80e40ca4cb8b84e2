#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "regex/MatchList.h"

namespace mofeng::regex {

// A replacement text parsed once: "$1".."$9" insert a group (the empty text when
// it took no part), "$&" the whole match, "$$" one dollar sign. A "$" followed by
// anything else, or by a digit above the pattern's group count, stays literal;
// "$12" is group 1 followed by "2". Works on UTF-8 text.
class ReplacementTemplate final {
public:
    ReplacementTemplate(std::string_view utf8Replacement, uint32_t groupCount);

    // Appends the replacement for match (0-based) of matches over subject.
    void AppendTo(std::string& out, std::string_view subject, const MatchList& matches,
                  int match) const;

private:
    struct Piece {
        std::string literal;  // used when group < 0
        int group = -1;
    };
    std::vector<Piece> m_pieces;
};

}  // namespace mofeng::regex
