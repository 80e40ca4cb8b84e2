// Keyword import, column sort and spreadsheet export at list sizes well past
// everyday use: 1,000,000 imported lines, 100,000 sorted or exported rows.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "app/ColumnSort.h"
#include "app/KeywordImport.h"
#include "app/KeywordListColumns.h"
#include "app/SpreadsheetExport.h"
#include "runtime/MemoryTable.h"

namespace {

using mofeng::runtime::MemoryTable;

std::vector<std::pair<std::string, int>> Columns() {
    return {{"c0", 55},  {"c1", 160}, {"c2", 100}, {"c3", 110},
            {"c4", 120}, {"c5", 100}, {"c6", 100}, {"c7", 100}};
}

// Keyword-like GBK lines, CR LF ended; written once per process.
const std::filesystem::path& MillionLineFile() {
    static const std::filesystem::path path = [] {
        auto p = std::filesystem::temp_directory_path() /
                 ("mofeng-bench-" + std::to_string(::getpid()) + ".txt");
        std::ofstream out(p, std::ios::binary);
        for (int i = 0; i < 1'000'000; ++i) {
            out << "\xC1\xAC\xD2\xC2\xC8\xB9 " << i << " \xC5\xAE\xCF\xC4\xBC\xBE\r\n";
        }
        return p;
    }();
    return path;
}

// A filled keyword list: numbers, keywords and metric-like texts with repeats.
void FillRows(MemoryTable& table, int rows) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> index(0, 50'000);
    std::vector<mofeng::runtime::Row> batch;
    for (int i = 0; i < rows; ++i) {
        const int v = index(random);
        batch.push_back({std::to_string(i + 1), "kw " + std::to_string(i), std::to_string(v * 37),
                         std::to_string(v), std::to_string(v / 3),
                         std::to_string(v % 200) + "\xA1\xFC", std::to_string(v % 97),
                         std::to_string(v % 11) + "." + std::to_string(v % 10)});
    }
    table.AppendRows(std::move(batch));
}

void BM_ImportMillionLines(benchmark::State& state) {
    const auto& path = MillionLineFile();
    for (auto _ : state) {
        MemoryTable table(Columns());
        const auto result = mofeng::app::ImportKeywordFile(path, table, 1, true);
        benchmark::DoNotOptimize(result.rowsAdded);
    }
    state.SetItemsProcessed(state.iterations() * 1'000'000);
}
BENCHMARK(BM_ImportMillionLines)->Unit(benchmark::kMillisecond);

void BM_DescendingRowOrder(benchmark::State& state) {
    MemoryTable table(Columns());
    FillRows(table, static_cast<int>(state.range(0)));
    const auto texts = table.ColumnTexts(static_cast<int>(state.range(1)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(mofeng::app::DescendingRowOrder(texts));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
// Column 2: spread values; column 7: few distinct values; column 1: all 0.
BENCHMARK(BM_DescendingRowOrder)
    ->Args({100'000, 2})
    ->Args({100'000, 7})
    ->Args({100'000, 1})
    ->Unit(benchmark::kMillisecond);

void BM_SortByColumn(benchmark::State& state) {
    MemoryTable table(Columns());
    FillRows(table, 100'000);
    int column = 2;
    for (auto _ : state) {
        mofeng::app::SortByColumn(table, column);
        column = column == 2 ? 3 : 2;  // alternate so every pass really moves rows
    }
    state.SetItemsProcessed(state.iterations() * 100'000);
}
BENCHMARK(BM_SortByColumn)->Unit(benchmark::kMillisecond);

void BM_BuildSpreadsheetDocument(benchmark::State& state) {
    MemoryTable table(Columns());
    FillRows(table, 100'000);
    std::vector<int> rows(100'000);
    for (int i = 0; i < 100'000; ++i) {
        rows[i] = i;
    }
    const std::vector<int> widths = mofeng::app::InitialWidths(Columns());
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string document = mofeng::app::BuildSpreadsheetDocument(table, rows, widths);
        bytes = document.size();
        benchmark::DoNotOptimize(document.data());
    }
    state.SetItemsProcessed(state.iterations() * 100'000);
    state.counters["MiB"] = static_cast<double>(bytes) / (1 << 20);
}
BENCHMARK(BM_BuildSpreadsheetDocument)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove(MillionLineFile(), ignored);
    return 0;
}
