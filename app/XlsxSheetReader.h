#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/CancelToken.h"

namespace mofeng::app {

// One row of a sheet: the cells' texts (UTF-8) by 0-based column; columns
// without a cell are empty.
using SheetRow = std::vector<std::string>;

// Reads the first sheet of an .xlsx workbook held in memory and hands its
// rows, top to bottom, to onRow (rows the sheet does not hold are skipped);
// onRow returns false to stop. Shared strings, inline strings and values are
// given as their texts; numbers as the workbook writes them. False when the
// bytes are not a readable workbook (what was handed over stays handed over)
// or a raised cancel stopped it. Any thread.
bool ReadFirstXlsxSheet(std::string_view workbook, const std::function<bool(SheetRow&)>& onRow,
                        const runtime::CancelToken* cancel = nullptr);

}  // namespace mofeng::app
