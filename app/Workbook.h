#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mofeng::app {

// One row of a sheet: each cell's text as a person sees it in a spreadsheet
// program (a date "2024/5/1", not its serial number), by 0-based column;
// columns without a cell are empty.
using SheetRow = std::vector<std::string>;

// A worksheet of an imported file, its texts in GBK. A character GBK cannot
// hold is runtime::kNoGbkFormMark.
struct Sheet {
    std::string name;  // GBK; empty when the file does not name its sheets
    std::vector<SheetRow> rows;
};

// The sheets of one file in the order the file holds them (a CSV, a keyword
// table or an HTML table each make one sheet; an HTML page one per table).
struct Workbook {
    std::vector<Sheet> sheets;
};

// The caption row of a sheet, where it has one: the first of its first
// kHeaderSearchRows rows holding a keyword caption (关键词, 搜索词,
// 相关搜索词, 词); rows above it are notes. Other readers of the same sheet
// (market figures, the export's columns) find their columns by caption here.
struct SheetHeader {
    int row = -1;  // index into Sheet::rows; -1 when the sheet has no caption row
    int keywordColumn = 0;
    // Each caption of the row (GBK, surrounding blanks dropped) with its
    // column; a caption that repeats keeps its first column.
    std::vector<std::pair<std::string, int>> columns;

    bool Found() const { return row >= 0; }
    std::optional<int> ColumnOf(std::string_view caption) const {
        for (const auto& [text, column] : columns) {
            if (text == caption) {
                return column;
            }
        }
        return std::nullopt;
    }
};

inline constexpr int kHeaderSearchRows = 10;

// The header as above. Without a caption row, the keyword column is the first
// column that has a cell and is not a run of consecutive integers (a list
// numbered in its first column), else column 0.
SheetHeader DetectSheetHeader(const Sheet& sheet);

// True when a GBK caption names the keyword column.
bool IsKeywordCaption(std::string_view caption);

// The sheet an import takes: the first whose header has a keyword caption,
// else the first with any cell that is not empty; nullopt when no sheet has
// a cell at all.
std::optional<std::size_t> DefaultSheet(const Workbook& workbook);

// The sheets worth offering when the seller picks one: those with a keyword
// caption when any has one, else those with any non-empty cell.
std::vector<std::size_t> CandidateSheets(const Workbook& workbook);

// A sheet named by the seller: its exact name, or its 1-based position in
// the file; nullopt when none matches.
std::optional<std::size_t> FindSheet(const Workbook& workbook, std::string_view nameOrNumber);

}  // namespace mofeng::app
