// The seller's data at scale, ratios measured in one run: importing 1,000,000
// keywords from a plain text file, a CSV file and an .xlsx workbook, and the
// session's cost per 1,000 rows, set beside what posting them costs the
// thread that posts (the UI thread, which never waits for the database).
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include "app/ExportFormats.h"
#include "app/KeywordImport.h"
#include "app/KeywordListColumns.h"
#include "app/SessionStore.h"
#include "app/SessionWriter.h"
#include "runtime/MemoryTable.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
constexpr int kLines = 1'000'000;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::vector<std::pair<std::string, int>> Columns() {
    return {{"\xD0\xF2\xBA\xC5", 55},
            {"\xB9\xD8\xBC\xFC\xB4\xCA", 160},
            {"c2", 100},
            {"c3", 110},
            {"c4", 120},
            {"c5", 100},
            {"c6", 100},
            {"c7", 100}};
}

std::string Keyword(int i) {
    return "\xC1\xAC\xD2\xC2\xC8\xB9 " + std::to_string(i) + " \xC5\xAE\xCF\xC4";
}

double TimeImport(const fs::path& path) {
    mofeng::runtime::MemoryTable table(Columns());
    const auto start = Clock::now();
    const int rows = mofeng::app::ImportKeywordFile(path, table, 1, true).rowsAdded;
    const double seconds = SecondsSince(start);
    if (rows != kLines) {
        std::fprintf(stderr, "%s: %d rows instead of %d\n", path.c_str(), rows, kLines);
    }
    return seconds;
}

}  // namespace

int main() {
    const fs::path folder =
        fs::temp_directory_path() / ("mofeng-bench-data-" + std::to_string(::getpid()));
    fs::create_directories(folder);

    mofeng::runtime::MemoryTable source(Columns());
    {
        std::vector<mofeng::runtime::Row> rows;
        for (int i = 0; i < kLines; ++i) {
            rows.push_back({std::to_string(i + 1), Keyword(i), std::to_string(i * 7), "35", "30",
                            "  --", "4", "0.5"});
        }
        source.AppendRows(std::move(rows));
    }
    std::vector<int> all(kLines);
    std::iota(all.begin(), all.end(), 0);
    {
        std::ofstream text(folder / "k.txt", std::ios::binary);
        for (int i = 0; i < kLines; ++i) {
            text << Keyword(i) << "\r\n";
        }
    }
    auto start = Clock::now();
    mofeng::app::ExportRows(folder / "k.csv", source, all, mofeng::app::InitialWidths(Columns()));
    const double csvExport = SecondsSince(start);
    start = Clock::now();
    mofeng::app::ExportRows(folder / "k.xlsx", source, all, mofeng::app::InitialWidths(Columns()));
    const double xlsxExport = SecondsSince(start);

    const double text = TimeImport(folder / "k.txt");
    const double csv = TimeImport(folder / "k.csv");
    const double xlsx = TimeImport(folder / "k.xlsx");
    std::printf(
        "import of %d keywords: text %.2f s, CSV %.2f s (%.2f x text), xlsx %.2f s (%.2f x text)\n",
        kLines, text, csv, csv / text, xlsx, xlsx / text);
    std::printf("export of %d rows: CSV %.2f s, xlsx %.2f s\n", kLines, csvExport, xlsxExport);

    // Session: 200 batches of 1,000 rows of eight cells.
    mofeng::app::SessionStore::Opened opened{};
    auto store = mofeng::app::SessionStore::OpenSession(folder / "session.sqlite", opened);
    mofeng::app::SessionWriter writer(std::move(store));
    constexpr int kBatches = 200;
    const std::vector<mofeng::runtime::Row> sourceRows = source.Rows();
    double postSeconds = 0;
    const auto writeStart = Clock::now();
    for (int b = 0; b < kBatches; ++b) {
        mofeng::app::SessionBatch batch;
        for (int r = 0; r < 1000; ++r) {
            const int row = b * 1000 + r;
            batch.rows.push_back({mofeng::app::kSessionMainList,
                                  static_cast<mofeng::runtime::RowId>(row + 1), row,
                                  sourceRows[static_cast<std::size_t>(row)]});
        }
        const auto post = Clock::now();
        writer.Post(std::move(batch));
        postSeconds += SecondsSince(post);
    }
    writer.Flush();
    const double writeSeconds = SecondsSince(writeStart);
    std::printf(
        "session: %.2f ms per 1,000 rows written on the writer thread; posting them cost "
        "the posting thread %.4f ms per 1,000 rows (%.0f x less)\n",
        writeSeconds * 1000 / kBatches, postSeconds * 1000 / kBatches, writeSeconds / postSeconds);
    fs::remove_all(folder);
    return 0;
}
