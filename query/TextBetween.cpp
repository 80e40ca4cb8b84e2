#include "query/TextBetween.h"

#include "runtime/TextOps.h"

namespace mofeng::query {

std::string TextBetween(std::string_view text, int& start, std::string_view key,
                        std::string_view leftDelimiter, bool useLeftDelimiter,
                        std::string_view rightDelimiter, bool ignoreCase, bool includeKey) {
    const int keyAt = runtime::TextFind(text, key, start, ignoreCase);
    if (keyAt == -1) {
        start = -1;
        return {};
    }
    const std::string_view left = useLeftDelimiter ? leftDelimiter : key;
    const int leftAt =
        useLeftDelimiter ? runtime::TextFind(text, leftDelimiter, keyAt, ignoreCase) : keyAt;
    if (leftAt == -1) {
        start = -1;
        return {};
    }
    const int afterLeft = leftAt + runtime::TextLength(left);
    const int valueAt = includeKey ? keyAt : afterLeft;
    start = valueAt;
    int end = runtime::TextFind(text, rightDelimiter, afterLeft, ignoreCase);
    if (end == -1) {
        end = runtime::TextLength(text) + 1;
    }
    return runtime::TextMid(text, valueAt, end - valueAt);
}

}  // namespace mofeng::query
