#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>

#include "runtime/CancelToken.h"
#include "runtime/Table.h"

namespace mofeng::app {

// Largest number of rows handed to Table::AppendRows at once.
inline constexpr std::size_t kImportBatchRows = 4096;
// A smaller batch is appended once it has waited this long.
inline constexpr std::chrono::milliseconds kImportBatchInterval{20};

struct ImportResult {
    bool opened = false;  // false: the file could not be opened or read, nothing was added
    int rowsAdded = 0;
};

// Appends one row per line of the file (KeywordFileToGbk, then
// KeywordLineReader) at the end of table: the line goes to keywordColumn and,
// when numbered, the running number from 1 (this import's rows only) to
// column 0 (with keywordColumn 0 the number wins). The list is neither
// cleared nor checked for duplicates. Rows are appended in batches (at most
// kImportBatchRows, or what has accumulated after kImportBatchInterval), so a
// long import shows up as it goes. A raised cancel stops the import: batches
// already appended stay, the pending one is dropped. The file is read whole
// and only read, never written; a read error adds nothing. Any thread.
ImportResult ImportKeywordFile(const std::filesystem::path& path, runtime::Table& table,
                               int keywordColumn, bool numbered,
                               const runtime::CancelToken* cancel = nullptr);

}  // namespace mofeng::app
