#include "app/ClipboardText.h"

#include <algorithm>
#include <numeric>
#include <optional>

#include "app/CellDisplayText.h"
#include "app/CsvRecords.h"
#include "app/Workbook.h"

namespace mofeng::app {
namespace {

void AppendCell(std::string& out, std::string_view text) {
    if (text.find_first_of("\t\r\n\"") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
}

}  // namespace

std::string CopiedRowsText(runtime::Table& table, const std::vector<int>& rows, int columnCount) {
    std::vector<int> columns(
        static_cast<std::size_t>(std::max(0, std::min(columnCount, table.ColumnCount()))));
    std::iota(columns.begin(), columns.end(), 0);
    return CopiedRowsText(table, rows, columns);
}

std::string CopiedRowsText(runtime::Table& table, const std::vector<int>& rows,
                           const std::vector<int>& columns) {
    std::string out;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i > 0) {
            out += '\t';
        }
        AppendCell(out, table.ColumnTitle(columns[i]));
    }
    out += "\r\n";
    for (int row : rows) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i > 0) {
                out += '\t';
            }
            AppendCell(out, CellDisplayText(columns[i], table.GetCell(row, columns[i])));
        }
        out += "\r\n";
    }
    return out;
}

std::vector<std::string> PastedKeywords(std::string_view text) {
    std::vector<std::string> keywords;
    if (text.find('\t') == std::string_view::npos) {
        std::size_t at = 0;
        while (at < text.size()) {
            std::size_t end = text.find('\n', at);
            end = end == std::string_view::npos ? text.size() : end;
            std::string_view line = text.substr(at, end - at);
            if (line.ends_with('\r')) {
                line.remove_suffix(1);
            }
            if (!line.empty()) {
                keywords.emplace_back(line);
            }
            at = end + 1;
        }
        return keywords;
    }
    CsvRecords records(text, '\t');
    std::vector<std::string> fields;
    std::optional<std::size_t> column;
    while (records.Next(fields)) {
        if (!column) {
            const std::optional<std::size_t> caption = KeywordCaptionColumn(fields);
            column = caption.value_or(0);
            if (caption) {
                continue;
            }
        }
        if (*column < fields.size() && !fields[*column].empty()) {
            keywords.push_back(std::move(fields[*column]));
        }
    }
    return keywords;
}

std::vector<PastedMarketRow> PastedMarketRows(std::string_view text) {
    if (text.find('\t') == std::string_view::npos) {
        return {};
    }
    Sheet sheet;
    CsvRecords records(text, '\t');
    std::vector<std::string> fields;
    while (records.Next(fields)) {
        sheet.rows.push_back(std::move(fields));
        fields = {};
    }
    const SheetHeader header = DetectSheetHeader(sheet);
    if (!header.Found()) {
        return {};
    }
    const MarketColumns market =
        MarketColumnsOfHeader(sheet.rows[static_cast<std::size_t>(header.row)]);
    if (market.empty()) {
        return {};
    }
    std::vector<PastedMarketRow> rows;
    const auto keywordColumn = static_cast<std::size_t>(header.keywordColumn);
    for (std::size_t r = static_cast<std::size_t>(header.row) + 1; r < sheet.rows.size(); ++r) {
        const SheetRow& cells = sheet.rows[r];
        if (keywordColumn >= cells.size() || cells[keywordColumn].empty()) {
            continue;
        }
        PastedMarketRow row{cells[keywordColumn], MarketRowOfRecord(cells, market)};
        CompleteDemandSupply(row.market, {});
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace mofeng::app
