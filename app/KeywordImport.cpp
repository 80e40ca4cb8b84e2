#include "app/KeywordImport.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/Biff8Reader.h"
#include "app/CellDisplayText.h"
#include "app/CsvRecords.h"
#include "app/HtmlTableReader.h"
#include "app/ImportTexts.h"
#include "app/KeywordFileText.h"
#include "app/KeywordLineReader.h"
#include "app/KeywordListColumns.h"
#include "app/MarketCells.h"
#include "app/OdsReader.h"
#include "app/OwnXlsDocument.h"
#include "app/XlsxSheetReader.h"
#include "query/QueryRow.h"
#include "query/RowOutcome.h"
#include "runtime/CodePage.h"
#include "runtime/NumberOps.h"

namespace mofeng::app {
namespace {

// The clock is read once per this many rows: cheap, and still well inside the interval.
constexpr std::size_t kClockStride = 64;
// The list's figure columns (宝贝数量 to 趋势比) start here.
constexpr std::size_t kFirstFigureColumn = 2;
// How a figure without a value is stored (a non-finite number, which every
// view and export shows as kNoFigureText): what "--" in a file reads as.
constexpr std::string_view kNoValueFigure = "nan";
constexpr int kListKeywordColumn = columns::Index(columns::Column::Keyword);

class BatchAppender final {
public:
    explicit BatchAppender(const ImportRowsSink& sink) : m_sink(sink) {
        m_rows.reserve(kImportBatchRows);
    }

    void Add(runtime::Row row) {
        m_rows.push_back(std::move(row));
        if (m_rows.size() >= kImportBatchRows ||
            (m_rows.size() % kClockStride == 0 &&
             Clock::now() - m_lastFlush >= kImportBatchInterval)) {
            Flush();
        }
    }

    void Flush() {
        if (!m_rows.empty()) {
            const auto count = static_cast<int>(m_rows.size());
            if (m_sink(std::exchange(m_rows, {}))) {
                m_rowsAdded += count;
            }
            m_rows.reserve(kImportBatchRows);
        }
        m_lastFlush = Clock::now();
    }

    int RowsAdded() const { return m_rowsAdded; }

private:
    using Clock = std::chrono::steady_clock;

    const ImportRowsSink& m_sink;
    std::vector<runtime::Row> m_rows;
    Clock::time_point m_lastFlush = Clock::now();
    int m_rowsAdded = 0;
};

// Builds the rows of one import: numbering, keyword column, batching.
class RowSink final {
public:
    RowSink(const ImportRowsSink& sink, int keywordColumn, bool numbered)
        : m_appender(sink),
          m_keywordColumn(keywordColumn),
          m_numbered(numbered),
          m_width(static_cast<std::size_t>(std::max(keywordColumn, 0)) + 1) {}

    void AddKeyword(std::string keyword) {
        runtime::Row row(m_width);
        const bool marked = runtime::HoldsNoGbkFormMark(keyword);
        if (m_keywordColumn >= 0) {
            row[static_cast<std::size_t>(m_keywordColumn)] = std::move(keyword);
        }
        AddRow(std::move(row), marked);
    }
    // The keyword with the optional cells of its record (a row of the
    // storage width), when the rows are the keyword list's (keyword column 1)
    // and there are any; else the keyword alone.
    void AddKeywordWithOptional(std::string keyword, runtime::Row optional) {
        if (optional.empty() || m_keywordColumn != kListKeywordColumn) {
            AddKeyword(std::move(keyword));
            return;
        }
        const bool marked = runtime::HoldsNoGbkFormMark(keyword);
        optional[static_cast<std::size_t>(m_keywordColumn)] = std::move(keyword);
        AddRow(std::move(optional), marked);
    }
    // A whole row of cells, in column order; marked: its keyword holds
    // runtime::kNoGbkFormMark.
    void AddRow(runtime::Row row, bool marked) {
        if (marked) {
            row.resize(std::max<std::size_t>(row.size(), query::kStoredColumnCount));
            row[query::kOutcomeColumn] = query::RowOutcomeText(query::RowOutcome::NotQueried);
            row[query::kReasonColumn] = query::kNoGbkFormReason;
            ++m_unrepresentable;
        }
        if (m_numbered) {
            if (row.empty()) {
                row.resize(1);
            }
            row[0] = runtime::ToText(++m_counter);
        }
        m_appender.Add(std::move(row));
    }
    ImportResult Finish(bool flush, ImportProblem problem = ImportProblem::None) {
        if (flush) {
            m_appender.Flush();
        }
        return {true, m_appender.RowsAdded(), problem, {}, flush ? m_unrepresentable : 0};
    }

private:
    BatchAppender m_appender;
    int m_keywordColumn;
    bool m_numbered;
    std::size_t m_width;
    int m_counter = 0;
    int m_unrepresentable = 0;
};

bool Cancelled(const runtime::CancelToken* cancel) {
    return cancel != nullptr && cancel->IsCancelled();
}

ImportResult ImportPlainText(std::string bytes, RowSink& sink, const runtime::CancelToken* cancel) {
    const std::string gbk = KeywordFileToGbk(std::move(bytes));
    KeywordLineReader reader(gbk);
    while (!reader.AtEnd()) {
        if (Cancelled(cancel)) {
            return sink.Finish(false, ImportProblem::Cancelled);
        }
        sink.AddKeyword(reader.ReadLine());
    }
    return sink.Finish(true);
}

const std::string& CellAt(const SheetRow& row, int column) {
    static const std::string kEmpty;
    return column >= 0 && static_cast<std::size_t>(column) < row.size()
               ? row[static_cast<std::size_t>(column)]
               : kEmpty;
}

bool IsBlank(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// Where each of the keyword list's eight columns and the stored outcome sit in
// a sheet whose caption row holds all eight captions; empty otherwise.
struct FigureColumns {
    std::vector<int> columns;  // by list column
    std::optional<int> outcome;
};

FigureColumns FigureColumnsOf(const SheetHeader& header) {
    FigureColumns figures;
    if (!header.Found()) {
        return figures;
    }
    const auto& listColumns = KeywordListColumns();
    for (const auto& [caption, width] : listColumns) {
        const std::optional<int> column = header.ColumnOf(caption);
        if (!column) {
            return {};
        }
        figures.columns.push_back(*column);
    }
    figures.outcome = header.ColumnOf(KeywordListStorageColumns()[query::kOutcomeColumn].first);
    return figures;
}

// The list row of a sheet row that carries the eight columns: a figure "--"
// is a figure without a value, an outcome cell is kept only when it names an outcome.
runtime::Row FigureRow(const SheetRow& cells, const FigureColumns& figures) {
    runtime::Row row(figures.outcome ? query::kStoredColumnCount : figures.columns.size());
    for (std::size_t c = 0; c < figures.columns.size(); ++c) {
        const std::string& text = CellAt(cells, figures.columns[c]);
        row[c] =
            (c >= kFirstFigureColumn && text == kNoFigureText) ? std::string(kNoValueFigure) : text;
    }
    if (figures.outcome) {
        const std::string& outcome = CellAt(cells, *figures.outcome);
        if (query::RowOutcomeFromText(outcome)) {
            row[query::kOutcomeColumn] = outcome;
        }
    }
    return row;
}

// (sheet column, list column) of the optional columns besides the market
// figures (宝贝数量变化, 联想热度) that the caption row names.
std::vector<std::pair<int, int>> OtherOptionalColumnsOf(const SheetHeader& header) {
    std::vector<std::pair<int, int>> found;
    for (const columns::Column column :
         {columns::Column::ListingChange, columns::Column::SuggestWeight}) {
        if (const std::optional<int> at = header.ColumnOf(columns::Caption(column))) {
            found.emplace_back(*at, columns::Index(column));
        }
    }
    return found;
}

// The row with the optional cells of a record written into it (grown to the
// storage width), 需求供给比 completed; the row as it was (empty when it was)
// when the record holds none of them.
runtime::Row OptionalCells(const SheetRow& cells, const MarketColumns& market,
                           const std::vector<std::pair<int, int>>& others, runtime::Row row) {
    const MarketRow figures = MarketRowOfRecord(cells, market);
    const bool anyOther = std::any_of(others.begin(), others.end(), [&](const auto& other) {
        return !IsBlank(CellAt(cells, other.first));
    });
    if (figures.Empty() && !anyOther) {
        return row;
    }
    PutMarketRow(row, figures);
    for (const auto& [at, column] : others) {
        if (!IsBlank(CellAt(cells, at))) {
            row[static_cast<std::size_t>(column)] = CellAt(cells, at);
        }
    }
    RefreshDemandSupply(row);
    return row;
}

ImportResult ImportSheet(const Sheet& sheet, RowSink& sink, const runtime::CancelToken* cancel) {
    const SheetHeader header = DetectSheetHeader(sheet);
    const FigureColumns figures = FigureColumnsOf(header);
    const std::vector<std::pair<int, int>> others = OtherOptionalColumnsOf(header);
    const MarketColumns market =
        header.Found() ? MarketColumnsOfHeader(sheet.rows[static_cast<std::size_t>(header.row)])
                       : MarketColumns{};
    const std::string* caption =
        header.Found()
            ? &CellAt(sheet.rows[static_cast<std::size_t>(header.row)], header.keywordColumn)
            : nullptr;
    bool any = false;
    for (std::size_t r = static_cast<std::size_t>(header.row + 1); r < sheet.rows.size(); ++r) {
        if (r % kClockStride == 0 && Cancelled(cancel)) {
            return sink.Finish(false, ImportProblem::Cancelled);
        }
        const SheetRow& cells = sheet.rows[r];
        const std::string& keyword = CellAt(cells, header.keywordColumn);
        if (IsBlank(keyword) || (caption != nullptr && keyword == *caption)) {
            continue;  // no keyword, or the caption row repeated
        }
        any = true;
        if (figures.columns.empty()) {
            sink.AddKeywordWithOptional(keyword, OptionalCells(cells, market, others, {}));
        } else {
            const bool marked = runtime::HoldsNoGbkFormMark(keyword);
            sink.AddRow(OptionalCells(cells, market, others, FigureRow(cells, figures)), marked);
        }
    }
    return sink.Finish(true, any ? ImportProblem::None : ImportProblem::NoKeywords);
}

ImportResult ImportWorkbook(const Workbook& workbook, const SheetChoice& choice, RowSink& sink,
                            const runtime::CancelToken* cancel) {
    std::optional<std::size_t> index;
    if (!choice.sheet.empty()) {
        index = FindSheet(workbook, choice.sheet);
        if (!index) {
            return {true, 0, ImportProblem::NoSuchSheet, {}, 0};
        }
    } else {
        const std::vector<std::size_t> candidates = CandidateSheets(workbook);
        if (candidates.empty()) {
            return {true, 0, ImportProblem::NoKeywords, {}, 0};
        }
        index = candidates.front();
        if (candidates.size() > 1 && choice.chooser) {
            index = choice.chooser(workbook, candidates);
            if (!index || *index >= workbook.sheets.size()) {
                return {true, 0, ImportProblem::Cancelled, {}, 0};
            }
        }
    }
    return ImportSheet(workbook.sheets[*index], sink, cancel);
}

Workbook DelimitedWorkbook(std::string bytes, char delimiter) {
    const std::string gbk = KeywordFileToGbk(std::move(bytes));
    CsvRecords records(gbk, delimiter);
    Workbook workbook;
    Sheet& sheet = workbook.sheets.emplace_back();
    std::vector<std::string> fields;
    while (records.Next(fields)) {
        sheet.rows.push_back(std::move(fields));
        fields = {};
    }
    return workbook;
}

// The document's own rows with its caption row on top: the captions are the
// keyword list's, so its figures come back.
Workbook OwnXlsWorkbook(std::string_view bytes) {
    Workbook workbook;
    Sheet& sheet = workbook.sheets.emplace_back();
    sheet.rows = ReadOwnXlsRows(bytes, true);
    return workbook;
}

}  // namespace

ImportFormat DetectImportFormat(const std::filesystem::path& path, std::string_view head) {
    return DetectImportFileKind(path, head).format;
}

std::string ImportResultText(const ImportResult& result) {
    std::string text = ImportProblemText(result.problem);
    if (result.problem == ImportProblem::Unsupported && !result.unsupported.empty()) {
        text += FullWidthColon() + result.unsupported;
    }
    return text;
}

std::string ImportResultEnglish(const ImportResult& result) {
    std::string text = ImportProblemEnglish(result.problem);
    if (result.problem == ImportProblem::Unsupported && !result.unsupported.empty()) {
        text += " (" + runtime::GbkToUtf8(result.unsupported) + ")";
    }
    return text;
}

std::string UnrepresentableText(int rows) {
    if (rows <= 0) {
        return {};
    }
    return UnrepresentableBefore() + runtime::ToText(rows) + UnrepresentableAfter();
}

ImportResult ImportKeywordFile(const std::filesystem::path& path, runtime::Table& table,
                               int keywordColumn, bool numbered,
                               const runtime::CancelToken* cancel) {
    const ImportRowsSink append = [&table](std::vector<runtime::Row> rows) {
        return table.AppendRows(std::move(rows)) >= 0;
    };
    return ImportKeywordFile(path, append, keywordColumn, numbered, cancel);
}

ImportResult ImportKeywordFile(const std::filesystem::path& path, const ImportRowsSink& append,
                               int keywordColumn, bool numbered,
                               const runtime::CancelToken* cancel) {
    return ImportKeywordFile(path, append, keywordColumn, numbered, SheetChoice{}, cancel);
}

ImportResult ImportKeywordFile(const std::filesystem::path& path, const ImportRowsSink& append,
                               int keywordColumn, bool numbered, const SheetChoice& sheets,
                               const runtime::CancelToken* cancel) {
    ImportFileBytes file = ReadImportFile(path, cancel);
    if (file.problem != ImportProblem::None) {
        return {false, 0, file.problem, {}, 0};
    }
    const ImportFileKind kind = DetectImportFileKind(path, file.bytes);
    RowSink sink(append, keywordColumn, numbered);
    std::optional<Workbook> workbook;
    switch (kind.format) {
        case ImportFormat::Unsupported:
            return {false, 0, ImportProblem::Unsupported, kind.what, 0};
        case ImportFormat::PlainText:
            return ImportPlainText(std::move(file.bytes), sink, cancel);
        case ImportFormat::Csv:
            workbook = DelimitedWorkbook(std::move(file.bytes), ',');
            break;
        case ImportFormat::Tsv:
            workbook = DelimitedWorkbook(std::move(file.bytes), '\t');
            break;
        case ImportFormat::OwnXls:
            workbook = OwnXlsWorkbook(file.bytes);
            break;
        case ImportFormat::Html:
            workbook = ReadHtmlTables(file.bytes);
            break;
        case ImportFormat::Xlsx:
            workbook = ReadXlsxWorkbook(file.bytes, cancel);
            break;
        case ImportFormat::Ods:
            workbook = ReadOdsWorkbook(file.bytes, cancel);
            break;
        case ImportFormat::Biff8: {
            file.bytes = {};  // the reader takes the file itself
            Biff8Problem problem = Biff8Problem::None;
            workbook = ReadBiff8Workbook(path, problem, cancel);
            if (problem == Biff8Problem::Unavailable) {
                return {false, 0, ImportProblem::Unsupported, Biff8WorkbookName(), 0};
            }
            if (problem == Biff8Problem::Encrypted) {
                return {false, 0, ImportProblem::Unsupported, EncryptedWorkbookName(), 0};
            }
            break;
        }
    }
    if (Cancelled(cancel)) {
        return {true, 0, ImportProblem::Cancelled, {}, 0};
    }
    if (!workbook) {
        return {true, 0, ImportProblem::NotText, {}, 0};
    }
    file.bytes = {};
    return ImportWorkbook(*workbook, sheets, sink, cancel);
}

}  // namespace mofeng::app
