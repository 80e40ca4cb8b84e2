// This program's own .xls read back. A document exported from any cells
// reads back to exactly those cells as the list shows them, row by row; any bytes read as such a
// document never give more rows than the row ends it holds.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/CellDisplayText.h"
#include "app/KeywordListColumns.h"
#include "app/OwnXlsDocument.h"
#include "app/SpreadsheetExport.h"
#include "fuzz/FuzzCheck.h"
#include "runtime/MemoryTable.h"

namespace {

using mofeng::fuzz::Occurrences;

void CheckExportReadsBack(FuzzedDataProvider& input) {
    using namespace mofeng;
    const int columnCount = input.ConsumeIntegralInRange(1, 8);
    std::vector<std::pair<std::string, int>> columns;
    for (int c = 0; c < columnCount; ++c) {
        std::string title = input.ConsumeRandomLengthString(12);
        columns.emplace_back(std::move(title), input.ConsumeIntegralInRange(0, 400));
    }
    runtime::MemoryTable table(columns);
    std::vector<runtime::Row> rows(input.ConsumeIntegralInRange(0, 8));
    for (runtime::Row& row : rows) {
        for (int c = 0; c < columnCount; ++c) {
            row.push_back(input.ConsumeRandomLengthString(32));
        }
    }
    table.AppendRows(rows);
    std::vector<int> all(rows.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        all[i] = static_cast<int>(i);
    }
    const std::string document =
        app::BuildSpreadsheetDocument(table, all, app::InitialWidths(columns));
    FUZZ_CHECK(app::IsOwnXlsDocument(document));
    std::vector<runtime::Row> shown = rows;
    for (runtime::Row& row : shown) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            row[c] = std::string(app::CellDisplayText(static_cast<int>(c), row[c]));
        }
    }
    FUZZ_CHECK(app::ReadOwnXlsRows(document) == shown);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<mofeng::runtime::Row> rows = mofeng::app::ReadOwnXlsRows(bytes);
    FUZZ_CHECK(rows.size() <= Occurrences(bytes, "</tr>"));
    for (const mofeng::runtime::Row& row : rows) {
        FUZZ_CHECK(row.size() <= Occurrences(bytes, "</td>"));
    }

    FuzzedDataProvider input(data, size);
    CheckExportReadsBack(input);
    return 0;
}
