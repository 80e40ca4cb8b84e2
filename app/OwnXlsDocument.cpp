#include "app/OwnXlsDocument.h"

#include <string>

#include "app/SpreadsheetExport.h"

namespace mofeng::app {
namespace {

constexpr std::string_view kTableStart = "<table x:str";
constexpr std::string_view kRowStart = "<tr";
constexpr std::string_view kRowEnd = "</tr>";
constexpr std::string_view kCellStart = "<td";
constexpr std::string_view kCellEnd = "</td>";

// The markup bytes are ASCII and never GBK trail bytes, so a plain search
// cannot land inside a character.
std::string Unescaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == '&') {
            const std::string_view rest = text.substr(i);
            if (rest.starts_with("&amp;")) {
                out += '&';
                i += 5;
                continue;
            }
            if (rest.starts_with("&lt;")) {
                out += '<';
                i += 4;
                continue;
            }
            if (rest.starts_with("&gt;")) {
                out += '>';
                i += 4;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

// Cells of the row markup [begin, end).
runtime::Row CellsOf(std::string_view row) {
    runtime::Row cells;
    std::size_t at = 0;
    for (;;) {
        const std::size_t start = row.find(kCellStart, at);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t open = row.find('>', start);
        const std::size_t close = open == std::string_view::npos ? open : row.find(kCellEnd, open);
        if (close == std::string_view::npos) {
            break;
        }
        cells.push_back(Unescaped(row.substr(open + 1, close - open - 1)));
        at = close + kCellEnd.size();
    }
    return cells;
}

}  // namespace

bool IsOwnXlsDocument(std::string_view bytes) {
    const std::string_view head = XlsHeaderTemplate();
    const std::string_view firstLine = head.substr(0, head.find('\n') + 1);
    return bytes.starts_with(firstLine);
}

std::vector<runtime::Row> ReadOwnXlsRows(std::string_view document, bool withHeader) {
    std::vector<runtime::Row> rows;
    std::size_t at = document.find(kTableStart);
    bool header = true;
    while (at != std::string_view::npos) {
        const std::size_t start = document.find(kRowStart, at);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = document.find(kRowEnd, start);
        if (end == std::string_view::npos) {
            break;
        }
        if (!header || withHeader) {
            rows.push_back(CellsOf(document.substr(start, end - start)));
        }
        header = false;
        at = end + kRowEnd.size();
    }
    return rows;
}

}  // namespace mofeng::app
