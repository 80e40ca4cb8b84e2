#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/Table.h"

namespace mofeng::app {

// The fixed head of every exported sheet: 207 lines, each ended by CR LF,
// 6,232 bytes of GBK. Built on first use; safe from any thread.
std::string_view XlsHeaderTemplate();

// widths[column] in pixels; 0 for a column outside the vector.
int WidthOf(const std::vector<int>& widths, int column);

// The whole spreadsheet document (HTML the spreadsheet program opens as a
// worksheet, GBK) for the given rows: the template, a table with one column
// per table column at its width in columnWidths (pixels, in column order, as
// the view shows them; 0 for a column past its end), a header row of the column titles,
// and one row per entry of rows, in the order given (callers pass ascending
// positions); only the first columnCount columns when it is not negative.
// Titles and cell texts are written as they are except that "&",
// "<" and ">" become entities, so a text is never taken as markup, and that a
// figure without a value reads as CellDisplayText shows it ("--"). A row
// position that does not exist gives empty cells. The template declares
// charset=GB2312; when a title or cell holds a character beyond GB2312 the
// document declares charset=GBK instead, and is otherwise the same.
std::string BuildSpreadsheetDocument(runtime::Table& table, const std::vector<int>& rows,
                                     const std::vector<int>& columnWidths, int columnCount = -1);

// Replaces the file with the bytes as a whole (runtime::WriteFileAtomically):
// false for an empty path, a target that is not a regular file, and on any
// failure, which leaves an existing file as it was.
bool WriteWholeFile(const std::filesystem::path& path, std::string_view bytes);

}  // namespace mofeng::app
