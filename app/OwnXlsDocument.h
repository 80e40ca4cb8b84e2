#pragma once

#include <string_view>
#include <vector>

#include "runtime/Table.h"

namespace mofeng::app {

// True when the bytes begin like a spreadsheet document this program exports
// (the fixed head of BuildSpreadsheetDocument).
bool IsOwnXlsDocument(std::string_view bytes);

// The data rows of such a document (GBK cells, in column order, the header
// row left out unless withHeader), with "&amp;", "&lt;" and "&gt;" turned back into their
// characters. A document cut short gives the rows complete so far.
std::vector<runtime::Row> ReadOwnXlsRows(std::string_view document, bool withHeader = false);

}  // namespace mofeng::app
