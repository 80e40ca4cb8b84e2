#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string_view>
#include <vector>

#include "app/ImportFileBytes.h"
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
    ImportProblem problem = ImportProblem::None;  // why nothing or not everything came in
};

enum class ImportFormat { PlainText, Csv, Tsv, Xlsx, OwnXls };

// By content first (the zip signature: .xlsx; the head of this program's
// export: its .xls), then by extension (.csv, .tsv, any case); anything else
// is a plain keyword file.
ImportFormat DetectImportFormat(const std::filesystem::path& path, std::string_view head);

// Appends one row per keyword of the file at the end of table. The file is
// read by ReadImportFile (never blocking, non-regular and oversized files
// refused) and taken as DetectImportFormat says: a plain keyword file one row
// per line (KeywordFileToGbk, then KeywordLineReader); CSV/TSV (any encoding
// KeywordFileToGbk knows) and the first sheet of an .xlsx one row per
// record, the keyword from the column captioned 关键词 in the first record
// (which is then left out) or else from the first column, records with no
// field at all skipped; this program's .xls every cell of every data row,
// in column order. The keyword goes to keywordColumn and,
// when numbered, the running number from 1 (this import's rows only) to
// column 0 (with keywordColumn 0 the number wins). The list is neither
// cleared nor checked for duplicates. Rows are appended in batches (at most
// kImportBatchRows, or what has accumulated after kImportBatchInterval), so a
// long import shows up as it goes. A raised cancel stops the import: batches
// already appended stay, the pending one is dropped. The file is
// only read, never written; a refused file or a read error adds nothing.
// Any thread.
ImportResult ImportKeywordFile(const std::filesystem::path& path, runtime::Table& table,
                               int keywordColumn, bool numbered,
                               const runtime::CancelToken* cancel = nullptr);

// Takes one batch of rows of an import; false when they could not be added
// (they then do not count as added).
using ImportRowsSink = std::function<bool(std::vector<runtime::Row> rows)>;
// The same, handing each batch to append instead of a table: a caller that
// must not wait for the list's owner queues them there.
ImportResult ImportKeywordFile(const std::filesystem::path& path, const ImportRowsSink& append,
                               int keywordColumn, bool numbered,
                               const runtime::CancelToken* cancel = nullptr);

}  // namespace mofeng::app
