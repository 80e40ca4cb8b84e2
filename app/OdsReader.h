#pragma once

#include <optional>
#include <string_view>

#include "app/Workbook.h"
#include "runtime/CancelToken.h"

namespace mofeng::app {

// Every sheet of an OpenDocument spreadsheet held in memory (its content.xml),
// texts in GBK as the spreadsheet shows them: the cell's paragraphs joined by
// line feeds, a plain number in its general form, a date as "2024/5/1".
// Comments are left out; repeated rows and cells are spelled out, except
// empty ones at the end of a row or a sheet. nullopt when the bytes are not a
// readable spreadsheet, when its cells would exceed kMaxWorkbookCells, or
// when a raised cancel stopped it. Any thread.
std::optional<Workbook> ReadOdsWorkbook(std::string_view bytes,
                                        const runtime::CancelToken* cancel = nullptr);

// A workbook whose repeated cells spell out to more than this is refused.
inline constexpr std::size_t kMaxWorkbookCells = std::size_t{1} << 27;

}  // namespace mofeng::app
