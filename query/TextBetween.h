#pragma once

#include <string>
#include <string_view>

namespace mofeng::query {

// The value that follows key and a left delimiter, up to a right delimiter.
// Positions are 1-based byte positions of GBK text. `start` is where the
// search for key begins; on return it holds the position at which the value
// begins, or -1 when key (or the left delimiter after it) is absent.
// Without useLeftDelimiter the key itself serves as the left delimiter. A
// missing right delimiter lets the value run to the end of the text. With
// includeKey the value begins at the key instead of after the delimiter.
std::string TextBetween(std::string_view text, int& start, std::string_view key,
                        std::string_view leftDelimiter, bool useLeftDelimiter,
                        std::string_view rightDelimiter, bool ignoreCase = true,
                        bool includeKey = true);

}  // namespace mofeng::query
