#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ImportFileBytes.h"
#include "app/ImportFileKind.h"
#include "app/Workbook.h"
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
    std::string unsupported;  // GBK: what the file is, for ImportProblem::Unsupported
    // Rows whose keyword holds a character GBK cannot hold (marked, never queried).
    int unrepresentable = 0;
};

// The message for a result's problem (GBK), empty when there is none to show:
// ImportProblemText, with what an unsupported file is after
// "不支持的文件格式：".
std::string ImportResultText(const ImportResult& result);
// The same in English, for the command line.
std::string ImportResultEnglish(const ImportResult& result);
// "其中 N 个含 GBK 无法表示的字符，未查询" (GBK) for the status line after an
// import with such rows; empty without.
std::string UnrepresentableText(int rows);

// DetectImportFileKind's format.
ImportFormat DetectImportFormat(const std::filesystem::path& path, std::string_view head);

// Which sheet of a workbook an import takes.
struct SheetChoice {
    // A sheet's name (GBK) or 1-based number; empty: as chooser or the default says.
    std::string sheet;
    // Asked, on the import's thread, when no sheet is named and several
    // qualify (CandidateSheets): the index of the sheet to take, nullopt to
    // import nothing (ImportProblem::Cancelled).
    std::function<std::optional<std::size_t>(const Workbook& workbook,
                                             const std::vector<std::size_t>& candidates)>
        chooser;
};

// Appends one row per keyword of the file at the end of table. The file is
// read by ReadImportFile (never blocking, non-regular and oversized files
// refused) and taken as DetectImportFileKind says: a plain keyword file one
// row per line (KeywordFileToGbk, then KeywordLineReader); every other
// format as a Workbook, of which one sheet (SheetChoice, else DefaultSheet)
// gives one row per row below its caption row (DetectSheetHeader) whose
// keyword cell is not blank, repeated caption rows left out. When the caption
// row holds the eight captions of the keyword list, each row comes back with
// all eight cells (a figure "--" as one without a value, stored "nan") and the stored outcome of a
// 状态 column; else with its keyword only. Into the keyword list (keyword
// column 1) a row also takes the market figures of the caption row's market
// columns (MarketColumnsOfHeader) into its market cells, as the table shows
// them, 需求供给比 completed where missing (RefreshDemandSupply); merging
// such rows into rows already listed is the caller's (MergeMarketRows). A keyword holding
// runtime::kNoGbkFormMark (a character GBK cannot hold) is kept so, its row
// marked 未查询 with the reason query::kNoGbkFormReason, and counted. A file
// that is none of the formats is refused (ImportProblem::Unsupported); a
// workbook without keyword text gives ImportProblem::NoKeywords. The keyword goes to keywordColumn
// and, when numbered, the running number from 1 (this import's rows only) to column 0 (with
// keywordColumn 0 the number wins). The list is neither cleared nor checked for duplicates. Rows
// are appended in batches (at most kImportBatchRows, or what has accumulated after
// kImportBatchInterval), so a long import shows up as it goes. A raised cancel stops the import:
// batches already appended stay, the pending one is dropped. The file is only read, never written;
// a refused file or a read error adds nothing. Any thread.
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
// The same, with the sheet of a workbook chosen as sheets says.
ImportResult ImportKeywordFile(const std::filesystem::path& path, const ImportRowsSink& append,
                               int keywordColumn, bool numbered, const SheetChoice& sheets,
                               const runtime::CancelToken* cancel = nullptr);

}  // namespace mofeng::app
