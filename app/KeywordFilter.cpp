#include "app/KeywordFilter.h"

#include <algorithm>

#include "app/MarketCells.h"
#include "columns/KeywordListSchema.h"
#include "runtime/NumberOps.h"
#include "runtime/TextOps.h"

namespace mofeng::app {
namespace {

bool IsHighByte(char c) {
    return (static_cast<unsigned char>(c) & 0x80) != 0;
}

bool Holds(std::string_view keyword, std::string_view word) {
    return runtime::TextFind(keyword, word) > 0;
}

}  // namespace

bool KeywordFilterCriteria::IsEmpty() const {
    return contains.empty() && excluded.empty() &&
           std::all_of(ranges.begin(), ranges.end(),
                       [](const FigureRange& range) { return !range.min && !range.max; });
}

std::vector<std::string> SplitWords(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    auto finish = [&] {
        if (!word.empty()) {
            words.push_back(std::move(word));
            word.clear();
        }
    };
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        if (IsHighByte(c) && at + 1 < text.size()) {
            if (c == '\xA1' && text[at + 1] == '\xA1') {
                finish();
            } else {
                word.append(text.substr(at, 2));
            }
            at += 2;
            continue;
        }
        if (c == ' ' || c == '\t') {
            finish();
        } else {
            word.push_back(c);
        }
        ++at;
    }
    finish();
    return words;
}

std::optional<double> BoundOf(std::string_view text) {
    if (SplitWords(text).empty()) {
        return std::nullopt;
    }
    return runtime::ToNumber(text);
}

bool RowPasses(const KeywordFilterCriteria& criteria, const runtime::TableData& data, int row) {
    if (row < 0 || row >= data.RowCount()) {
        return false;
    }
    const std::string& keyword = data.Cell(row, columns::Index(columns::Column::Keyword));
    if (!criteria.contains.empty() && !Holds(keyword, criteria.contains)) {
        return false;
    }
    for (const std::string& word : criteria.excluded) {
        if (Holds(keyword, word)) {
            return false;
        }
    }
    for (const FigureRange& range : criteria.ranges) {
        if (!range.min && !range.max) {
            continue;
        }
        const double value =
            runtime::ToNumber(SortKeyText(range.column, data.Cell(row, range.column)));
        if ((range.min && value < *range.min) || (range.max && value > *range.max)) {
            return false;
        }
    }
    return true;
}

}  // namespace mofeng::app
