#pragma once

#include <filesystem>
#include <optional>

#include "app/Workbook.h"
#include "runtime/CancelToken.h"

namespace mofeng::app {

// Unavailable: this build has no BIFF8 reader (Windows builds without FreeXL).
enum class Biff8Problem { None, Unreadable, Encrypted, Cancelled, Unavailable };

// Whether this build reads Excel 97-2003 workbooks.
bool Biff8ReaderAvailable();

// Every worksheet of an Excel 97-2003 workbook (BIFF8 in an OLE2 compound
// file) at path, read through FreeXL, texts in GBK as the spreadsheet shows
// them: numbers in their general form, dates as "2024/5/1". nullopt, with
// the reason in problem, when the file is no readable workbook (or has no
// narrow name to open it by: Unreadable), is encrypted, or a raised cancel
// stopped it. Any thread.
std::optional<Workbook> ReadBiff8Workbook(const std::filesystem::path& path, Biff8Problem& problem,
                                          const runtime::CancelToken* cancel = nullptr);

}  // namespace mofeng::app
