#include "app/CellDisplayText.h"

#include <algorithm>

#include "columns/KeywordListSchema.h"
#include "runtime/TextOps.h"

namespace mofeng::app {
namespace {

bool EqualsIgnoringCase(std::string_view text, std::string_view lower) {
    return text.size() == lower.size() &&
           std::equal(text.begin(), text.end(), lower.begin(),
                      [](char a, char b) { return runtime::AsciiLower(a) == b; });
}

}  // namespace

bool IsNonFiniteText(std::string_view text) {
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        text.remove_prefix(1);
    }
    // Most cells are digits: one byte tells.
    if (text.empty() ||
        (runtime::AsciiLower(text.front()) != 'i' && runtime::AsciiLower(text.front()) != 'n')) {
        return false;
    }
    return EqualsIgnoringCase(text, "inf") || EqualsIgnoringCase(text, "infinity") ||
           EqualsIgnoringCase(text, "nan");
}

std::string_view CellDisplayText(int column, std::string_view stored) {
    const columns::ColumnInfo* info = columns::InfoAt(column);
    if (info == nullptr || !info->figure || !IsNonFiniteText(stored)) {
        return stored;
    }
    return kNoFigureText;
}

}  // namespace mofeng::app
