#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "runtime/AtomicFile.h"
#include "runtime/Table.h"

namespace mofeng::app {

enum class ExportFormat {
    Xls,   // the HTML document of BuildSpreadsheetDocument
    Xlsx,  // a workbook: captions as a header row, figures as numbers
    Csv,   // UTF-8 with a byte order mark, captions first, CR LF line ends
};

// By the path's extension (any case): .xlsx, .csv, otherwise .xls.
ExportFormat ExportFormatOf(const std::filesystem::path& path);

// Every format writes the cells as CellDisplayText shows them: a figure
// without a value is the text "--", never a number.

// The first columnCount columns (all when negative) of the given rows.
std::string BuildCsvDocument(runtime::Table& table, const std::vector<int>& rows,
                             int columnCount = -1);
// The given columns (storage indices, in this order) of the given rows.
std::string BuildCsvDocument(runtime::Table& table, const std::vector<int>& rows,
                             const std::vector<int>& columns);
// A cell goes in as a number when its text is a finite decimal number, except
// in the keyword column (1), which is always text; column widths follow
// columnWidths (pixels, as BuildSpreadsheetDocument takes them). nullopt when
// the workbook could not be made.
std::optional<std::string> BuildXlsxDocument(runtime::Table& table, const std::vector<int>& rows,
                                             const std::vector<int>& columnWidths,
                                             int columnCount = -1);
// The given columns (storage indices, in this order), columnWidths indexed by
// storage index. A market figure (columns::ColumnKind::Market) that is one
// figure goes in as a number, a percentage as its fraction in a percent
// format of as many decimals as the text shows ("3.45%": 0.0345 shown
// 0.00%); a range stays text.
std::optional<std::string> BuildXlsxDocument(runtime::Table& table, const std::vector<int>& rows,
                                             const std::vector<int>& columnWidths,
                                             const std::vector<int>& columns);

// Builds the document for path's format and writes it with
// WriteFileAtomically. The .xls takes at most the list's shown columns
// (columns::kShownColumnCount); the .xlsx and .csv take columnCount columns,
// so the list's exported columns (columns::kExportedColumnCount) carry 状态
// after the eight, and a column past columnWidths gets a width of its own.
// False when nothing was written.
bool ExportRows(const std::filesystem::path& path, runtime::Table& table,
                const std::vector<int>& rows, const std::vector<int>& columnWidths,
                int columnCount = -1, const runtime::DeviceWrapper& wrap = nullptr);
// The same with the columns by storage index (app::LeadingAndPresentColumns)
// and columnWidths indexed by storage index: the .xls keeps the leading
// shown columns among them, the .xlsx and .csv take them all; a column
// without a width of its own (none given, or 0 for a column no view shows)
// gets one in a workbook.
bool ExportRows(const std::filesystem::path& path, runtime::Table& table,
                const std::vector<int>& rows, const std::vector<int>& columnWidths,
                const std::vector<int>& columns, const runtime::DeviceWrapper& wrap = nullptr);

}  // namespace mofeng::app
