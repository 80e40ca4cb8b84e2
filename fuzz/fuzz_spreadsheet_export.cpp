// The spreadsheet document for any titles, widths, cells and row list: every
// text sits in its cell as markup-free text whose entities decode to exactly
// the text as the list shows it, cells appear in table order, and the head is the fixed template.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/CellDisplayText.h"
#include "app/KeywordListColumns.h"
#include "app/SpreadsheetExport.h"
#include "fuzz/FuzzCheck.h"
#include "runtime/MemoryTable.h"

namespace {

// Decodes the three entities the export writes; false for any other "&" use.
bool Unescape(std::string_view escaped, std::string& out) {
    out.clear();
    for (std::size_t at = 0; at < escaped.size();) {
        if (escaped[at] != '&') {
            out += escaped[at++];
            continue;
        }
        const std::string_view rest = escaped.substr(at);
        if (rest.starts_with("&amp;")) {
            out += '&';
            at += 5;
        } else if (rest.starts_with("&lt;")) {
            out += '<';
            at += 4;
        } else if (rest.starts_with("&gt;")) {
            out += '>';
            at += 4;
        } else {
            return false;
        }
    }
    return true;
}

// Texts of every <td ...>...</td> after the template, in document order.
std::vector<std::string_view> CellContents(std::string_view document) {
    std::vector<std::string_view> cells;
    std::size_t at = 0;
    while ((at = document.find("<td", at)) != std::string_view::npos) {
        const std::size_t open = document.find('>', at);
        const std::size_t close = document.find("</td>", open);
        FUZZ_CHECK(open != std::string_view::npos && close != std::string_view::npos);
        cells.push_back(document.substr(open + 1, close - open - 1));
        at = close;
    }
    return cells;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace mofeng;
    FuzzedDataProvider input(data, size);
    const int columnCount = input.ConsumeIntegralInRange(1, 4);
    std::vector<std::pair<std::string, int>> columns;
    for (int c = 0; c < columnCount; ++c) {
        std::string title = input.ConsumeRandomLengthString(12);
        columns.emplace_back(std::move(title), input.ConsumeIntegral<int>());
    }
    runtime::MemoryTable table(columns);
    std::vector<runtime::Row> rows(input.ConsumeIntegralInRange(0, 6));
    for (runtime::Row& row : rows) {
        for (int c = 0; c < columnCount; ++c) {
            row.push_back(input.ConsumeRandomLengthString(24));
        }
    }
    table.AppendRows(rows);
    std::vector<int> exported;
    while (input.remaining_bytes() > 0 && exported.size() < 8) {
        exported.push_back(input.ConsumeIntegralInRange(-2, 8));
    }

    const std::string document =
        app::BuildSpreadsheetDocument(table, exported, app::InitialWidths(columns));
    // The template's head, with charset=GBK in place of GB2312 when a text
    // holds a character beyond GB2312.
    std::string head(app::XlsHeaderTemplate());
    if (!document.starts_with(head)) {
        const std::size_t at = head.find("charset=GB2312");
        FUZZ_CHECK(at != std::string::npos);
        head.replace(at, 14, "charset=GBK");
    }
    FUZZ_CHECK(document.starts_with(head));

    std::vector<std::string> expected;
    for (const auto& column : columns) {
        expected.push_back(column.first);
    }
    for (int position : exported) {
        for (int c = 0; c < columnCount; ++c) {
            const bool exists = position >= 0 && position < static_cast<int>(rows.size());
            expected.emplace_back(
                exists ? app::CellDisplayText(c, rows[static_cast<std::size_t>(position)][c]) : "");
        }
    }
    const std::vector<std::string_view> cells =
        CellContents(std::string_view(document).substr(head.size()));
    FUZZ_CHECK(cells.size() == expected.size());
    std::string decoded;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        FUZZ_CHECK(cells[i].find_first_of("<>") == std::string_view::npos);
        FUZZ_CHECK(Unescape(cells[i], decoded));
        FUZZ_CHECK(decoded == expected[i]);
    }
    return 0;
}
