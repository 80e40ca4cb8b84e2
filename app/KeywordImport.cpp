#include "app/KeywordImport.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/KeywordFileText.h"
#include "app/KeywordLineReader.h"
#include "runtime/NumberOps.h"

namespace mofeng::app {
namespace {

// The clock is read once per this many rows: cheap, and still well inside the interval.
constexpr std::size_t kClockStride = 64;

// nullopt when the file cannot be opened or a read fails.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) {
        return std::nullopt;
    }
    std::string bytes;
    char block[1 << 16];
    while (in.read(block, sizeof block) || in.gcount() > 0) {
        bytes.append(block, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) {
        return std::nullopt;
    }
    return bytes;
}

class BatchAppender final {
public:
    explicit BatchAppender(runtime::Table& table) : m_table(table) {
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
            if (m_table.AppendRows(std::exchange(m_rows, {})) >= 0) {
                m_rowsAdded += count;
            }
            m_rows.reserve(kImportBatchRows);
        }
        m_lastFlush = Clock::now();
    }

    int RowsAdded() const { return m_rowsAdded; }

private:
    using Clock = std::chrono::steady_clock;

    runtime::Table& m_table;
    std::vector<runtime::Row> m_rows;
    Clock::time_point m_lastFlush = Clock::now();
    int m_rowsAdded = 0;
};

}  // namespace

ImportResult ImportKeywordFile(const std::filesystem::path& path, runtime::Table& table,
                               int keywordColumn, bool numbered,
                               const runtime::CancelToken* cancel) {
    std::optional<std::string> bytes = ReadWholeFile(path);
    if (!bytes) {
        return {};
    }
    const std::string gbk = KeywordFileToGbk(std::move(*bytes));
    const std::size_t width = static_cast<std::size_t>(std::max(keywordColumn, 0)) + 1;

    KeywordLineReader reader(gbk);
    BatchAppender appender(table);
    int counter = 0;
    while (!reader.AtEnd()) {
        if (cancel != nullptr && cancel->IsCancelled()) {
            return {true, appender.RowsAdded()};
        }
        runtime::Row row(width);
        std::string line = reader.ReadLine();
        if (keywordColumn >= 0) {
            row[static_cast<std::size_t>(keywordColumn)] = std::move(line);
        }
        if (numbered) {
            row[0] = runtime::ToText(++counter);
        }
        appender.Add(std::move(row));
    }
    appender.Flush();
    return {true, appender.RowsAdded()};
}

}  // namespace mofeng::app
