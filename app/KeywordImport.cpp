#include "app/KeywordImport.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/CsvRecords.h"
#include "app/KeywordFileText.h"
#include "app/KeywordLineReader.h"
#include "app/OwnXlsDocument.h"
#include "app/XlsxSheetReader.h"
#include "runtime/CodePage.h"
#include "runtime/NumberOps.h"

namespace mofeng::app {
namespace {

// The clock is read once per this many rows: cheap, and still well inside the interval.
constexpr std::size_t kClockStride = 64;

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

constexpr std::string_view kKeywordCaptionUtf8 = "关键词";
constexpr std::string_view kZipSignature = "PK\x03\x04";

std::string LowerExtension(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    for (char& c : extension) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return extension;
}

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
        if (m_keywordColumn >= 0) {
            row[static_cast<std::size_t>(m_keywordColumn)] = std::move(keyword);
        }
        AddRow(std::move(row));
    }
    // A whole row of cells, in column order.
    void AddRow(runtime::Row row) {
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
        return {true, m_appender.RowsAdded(), problem};
    }

private:
    BatchAppender m_appender;
    int m_keywordColumn;
    bool m_numbered;
    std::size_t m_width;
    int m_counter = 0;
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

ImportResult ImportDelimited(std::string bytes, char delimiter, RowSink& sink,
                             const runtime::CancelToken* cancel) {
    const std::string gbk = KeywordFileToGbk(std::move(bytes));
    CsvRecords records(gbk, delimiter);
    std::vector<std::string> fields;
    std::optional<std::size_t> column;
    while (records.Next(fields)) {
        if (Cancelled(cancel)) {
            return sink.Finish(false, ImportProblem::Cancelled);
        }
        if (!column) {
            const std::optional<std::size_t> caption = KeywordCaptionColumn(fields);
            column = caption.value_or(0);
            if (caption) {
                continue;
            }
        }
        if (fields.size() == 1 && fields[0].empty()) {
            continue;  // a line with nothing on it
        }
        sink.AddKeyword(*column < fields.size() ? std::move(fields[*column]) : std::string());
    }
    return sink.Finish(true);
}

ImportResult ImportXlsx(const std::string& bytes, RowSink& sink,
                        const runtime::CancelToken* cancel) {
    std::optional<std::size_t> column;
    const bool read = ReadFirstXlsxSheet(
        bytes,
        [&](SheetRow& row) {
            if (!column) {
                const auto caption = std::find(row.begin(), row.end(), kKeywordCaptionUtf8);
                column = caption == row.end() ? 0 : static_cast<std::size_t>(caption - row.begin());
                if (caption != row.end()) {
                    return true;
                }
            }
            sink.AddKeyword(*column < row.size() ? runtime::Utf8ToGbk(row[*column])
                                                 : std::string());
            return true;
        },
        cancel);
    if (Cancelled(cancel)) {
        return sink.Finish(false, ImportProblem::Cancelled);
    }
    return sink.Finish(true, read ? ImportProblem::None : ImportProblem::NotText);
}

ImportResult ImportOwnXls(const std::string& bytes, RowSink& sink,
                          const runtime::CancelToken* cancel) {
    for (runtime::Row& row : ReadOwnXlsRows(bytes)) {
        if (Cancelled(cancel)) {
            return sink.Finish(false, ImportProblem::Cancelled);
        }
        sink.AddRow(std::move(row));
    }
    return sink.Finish(true);
}

}  // namespace

ImportFormat DetectImportFormat(const std::filesystem::path& path, std::string_view head) {
    if (head.starts_with(kZipSignature)) {
        return ImportFormat::Xlsx;
    }
    if (IsOwnXlsDocument(head)) {
        return ImportFormat::OwnXls;
    }
    const std::string extension = LowerExtension(path);
    if (extension == ".csv") {
        return ImportFormat::Csv;
    }
    if (extension == ".tsv") {
        return ImportFormat::Tsv;
    }
    return ImportFormat::PlainText;
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
    ImportFileBytes file = ReadImportFile(path, cancel);
    if (file.problem != ImportProblem::None) {
        return {false, 0, file.problem};
    }
    RowSink sink(append, keywordColumn, numbered);
    switch (DetectImportFormat(path, file.bytes)) {
        case ImportFormat::Xlsx:
            return ImportXlsx(file.bytes, sink, cancel);
        case ImportFormat::OwnXls:
            return ImportOwnXls(file.bytes, sink, cancel);
        case ImportFormat::Csv:
            return ImportDelimited(std::move(file.bytes), ',', sink, cancel);
        case ImportFormat::Tsv:
            return ImportDelimited(std::move(file.bytes), '\t', sink, cancel);
        case ImportFormat::PlainText:
            break;
    }
    return ImportPlainText(std::move(file.bytes), sink, cancel);
}

}  // namespace mofeng::app
