#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Workbook.h"
#include "runtime/CancelToken.h"

namespace mofeng::app {

// Rows handed over here hold UTF-8 cells. At most 16384 columns (A..XFD): a
// cell past them is dropped.

// Reads the first sheet of an .xlsx workbook held in memory and hands its
// rows, top to bottom, to onRow (rows the sheet does not hold are skipped);
// onRow returns false to stop. Shared strings, inline strings and values are
// given as their texts; numbers in their general form, dates (by their cell
// style) as "2024/5/1", booleans TRUE and FALSE. False when the
// bytes are not a readable workbook (what was handed over stays handed over)
// or a raised cancel stopped it. A workbook whose parts would unpack beyond
// 1 GiB together, or any part past its first MiB to more than 100 times its
// packed size (a zip bomb), is refused, by its declared sizes before any row
// when they tell. Any thread.
bool ReadFirstXlsxSheet(std::string_view workbook, const std::function<bool(SheetRow&)>& onRow,
                        const runtime::CancelToken* cancel = nullptr);

// The same over every sheet, in the workbook's order: onSheet is told each
// sheet's name (UTF-8) before its rows and returns false to stop there.
bool ReadXlsxSheets(std::string_view workbook,
                    const std::function<bool(const std::string& name)>& onSheet,
                    const std::function<bool(SheetRow&)>& onRow,
                    const runtime::CancelToken* cancel = nullptr);

// Every sheet of the workbook, texts in GBK; nullopt when it is not readable.
std::optional<Workbook> ReadXlsxWorkbook(std::string_view bytes,
                                         const runtime::CancelToken* cancel = nullptr);

}  // namespace mofeng::app
