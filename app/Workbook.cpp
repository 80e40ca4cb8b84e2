#include "app/Workbook.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>

namespace mofeng::app {
namespace {

// 关键词, 搜索词, 相关搜索词, 词 (GBK), in the order they are looked for.
constexpr std::array<std::string_view, 4> kKeywordCaptions = {
    "\xB9\xD8\xBC\xFC\xB4\xCA", "\xCB\xD1\xCB\xF7\xB4\xCA",
    "\xCF\xE0\xB9\xD8\xCB\xD1\xCB\xF7\xB4\xCA", "\xB4\xCA"};

std::string_view Trimmed(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::optional<std::int64_t> IntegerOf(std::string_view text) {
    text = Trimmed(text);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

// A column whose non-empty cells are integers, each one more than the one before.
bool IsNumbering(const Sheet& sheet, std::size_t column) {
    std::optional<std::int64_t> previous;
    for (const SheetRow& row : sheet.rows) {
        if (column >= row.size() || Trimmed(row[column]).empty()) {
            continue;
        }
        const std::optional<std::int64_t> value = IntegerOf(row[column]);
        if (!value || (previous && *value != *previous + 1)) {
            return false;
        }
        previous = value;
    }
    return true;
}

bool HasCellIn(const Sheet& sheet, std::size_t column) {
    return std::any_of(sheet.rows.begin(), sheet.rows.end(), [column](const SheetRow& row) {
        return column < row.size() && !Trimmed(row[column]).empty();
    });
}

bool HasAnyCell(const Sheet& sheet) {
    return std::any_of(sheet.rows.begin(), sheet.rows.end(), [](const SheetRow& row) {
        return std::any_of(row.begin(), row.end(),
                           [](const std::string& cell) { return !Trimmed(cell).empty(); });
    });
}

std::optional<int> KeywordCaptionIn(const SheetRow& row) {
    for (const std::string_view caption : kKeywordCaptions) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (Trimmed(row[c]) == caption) {
                return static_cast<int>(c);
            }
        }
    }
    return std::nullopt;
}

}  // namespace

bool IsKeywordCaption(std::string_view caption) {
    caption = Trimmed(caption);
    return std::find(kKeywordCaptions.begin(), kKeywordCaptions.end(), caption) !=
           kKeywordCaptions.end();
}

SheetHeader DetectSheetHeader(const Sheet& sheet) {
    SheetHeader header;
    const std::size_t searched = std::min<std::size_t>(sheet.rows.size(), kHeaderSearchRows);
    for (std::size_t r = 0; r < searched; ++r) {
        const SheetRow& row = sheet.rows[r];
        const std::optional<int> keyword = KeywordCaptionIn(row);
        if (!keyword) {
            continue;
        }
        header.row = static_cast<int>(r);
        header.keywordColumn = *keyword;
        for (std::size_t c = 0; c < row.size(); ++c) {
            const std::string_view caption = Trimmed(row[c]);
            if (!caption.empty() && !header.ColumnOf(caption)) {
                header.columns.emplace_back(caption, static_cast<int>(c));
            }
        }
        return header;
    }
    std::size_t width = 0;
    for (const SheetRow& row : sheet.rows) {
        width = std::max(width, row.size());
    }
    for (std::size_t c = 0; c < width; ++c) {
        if (HasCellIn(sheet, c) && !IsNumbering(sheet, c)) {
            header.keywordColumn = static_cast<int>(c);
            break;
        }
    }
    return header;
}

std::vector<std::size_t> CandidateSheets(const Workbook& workbook) {
    std::vector<std::size_t> captioned;
    std::vector<std::size_t> filled;
    for (std::size_t i = 0; i < workbook.sheets.size(); ++i) {
        const Sheet& sheet = workbook.sheets[i];
        if (DetectSheetHeader(sheet).Found()) {
            captioned.push_back(i);
        } else if (HasAnyCell(sheet)) {
            filled.push_back(i);
        }
    }
    return captioned.empty() ? filled : captioned;
}

std::optional<std::size_t> DefaultSheet(const Workbook& workbook) {
    const std::vector<std::size_t> candidates = CandidateSheets(workbook);
    if (candidates.empty()) {
        return std::nullopt;
    }
    return candidates.front();
}

std::optional<std::size_t> FindSheet(const Workbook& workbook, std::string_view nameOrNumber) {
    for (std::size_t i = 0; i < workbook.sheets.size(); ++i) {
        if (workbook.sheets[i].name == nameOrNumber) {
            return i;
        }
    }
    const std::optional<std::int64_t> number = IntegerOf(nameOrNumber);
    if (number && *number >= 1 && static_cast<std::uint64_t>(*number) <= workbook.sheets.size()) {
        return static_cast<std::size_t>(*number - 1);
    }
    return std::nullopt;
}

}  // namespace mofeng::app
