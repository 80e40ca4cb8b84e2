#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "runtime/MemoryTable.h"
#include "runtime/NumberOps.h"
#include "runtime/OrderedKeySet.h"
#include "runtime/TextOps.h"

namespace {

using namespace mofeng::runtime;

// About 200 KB of GBK page text: Chinese words ("连衣裙", "女装", "夏季") between
// ASCII markup, with the sought key near the end, as in a search page.
std::string PageText() {
    const std::string chunk =
        "<a href=\"/search?q=x\" class=\"item\">\xC1\xAC\xD2\xC2\xC8\xB9 \xC5\xAE\xD7\xB0 "
        "\xCF\xC4\xBC\xBE 2024</a>\n";
    std::string page;
    while (page.size() < 200000) {
        page += chunk;
    }
    return page + "\"totalHits\":12345,";
}

void BM_TextFindInGbkPage(benchmark::State& state) {
    const std::string page = PageText();
    for (auto _ : state) {
        benchmark::DoNotOptimize(TextFind(page, "\"totalHits\":"));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_TextFindInGbkPage);

void BM_TextFindIgnoreCase(benchmark::State& state) {
    const std::string page = PageText();
    for (auto _ : state) {
        benchmark::DoNotOptimize(TextFind(page, "\"TOTALHITS\":", 1, true));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_TextFindIgnoreCase);

void BM_ToNumber(benchmark::State& state) {
    const std::vector<std::string> texts = {"12345", "  948.5", "\xA3\xB1\xA3\xB2\xA3\xB3",
                                            "1.5e3", "abc",     "-0.25x"};
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ToNumber(texts[i++ % texts.size()]));
    }
}
BENCHMARK(BM_ToNumber);

void BM_FormatNumber(benchmark::State& state) {
    double x = 0.05;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatNumber(x, 1));
        x += 0.37;
    }
}
BENCHMARK(BM_FormatNumber);

void BM_KeySetAdd100k(benchmark::State& state) {
    std::vector<std::string> keys;
    for (int i = 0; i < 100000; ++i) {
        keys.push_back("\xC1\xAC\xD2\xC2\xC8\xB9 " + std::to_string(i));  // 连衣裙 n
    }
    for (auto _ : state) {
        OrderedKeySet set;
        for (const auto& key : keys) {
            benchmark::DoNotOptimize(set.Add(key));
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * keys.size()));
}
BENCHMARK(BM_KeySetAdd100k)->Unit(benchmark::kMillisecond);

std::vector<Row> MillionRows() {
    std::vector<Row> rows;
    rows.reserve(1000000);
    for (int i = 0; i < 1000000; ++i) {
        rows.push_back({std::to_string(i + 1), "\xC1\xAC\xD2\xC2\xC8\xB9" + std::to_string(i)});
    }
    return rows;
}

void BM_TableAppendMillion(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<Row> rows = MillionRows();
        auto table = std::make_unique<MemoryTable>(
            std::vector<std::pair<std::string, int>>{{"#", 40}, {"keyword", 200}});
        state.ResumeTiming();
        table->AppendRows(std::move(rows));
        state.PauseTiming();
        table.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TableAppendMillion)->Unit(benchmark::kMillisecond);

// The first search of a column builds its text index.
void BM_TableFirstFindMillion(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto table = std::make_unique<MemoryTable>(
            std::vector<std::pair<std::string, int>>{{"#", 40}, {"keyword", 200}});
        table->AppendRows(MillionRows());
        state.ResumeTiming();
        benchmark::DoNotOptimize(table->FindRow("absent", 1));
        state.PauseTiming();
        table.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TableFirstFindMillion)->Unit(benchmark::kMillisecond);

void BM_TableFindAbsentMillion(benchmark::State& state) {
    MemoryTable table({{"#", 40}, {"keyword", 200}});
    table.AppendRows(MillionRows());
    table.FindRow("warm", 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(table.FindRow("absent", 1));
    }
}
BENCHMARK(BM_TableFindAbsentMillion);

// A text held by the bottom row of a million: costs what a miss costs.
void BM_TableFindLastOfMillion(benchmark::State& state) {
    MemoryTable table({{"#", 40}, {"keyword", 200}});
    table.AppendRows(MillionRows());
    table.FindRow("warm", 1);
    const std::string last = "\xC1\xAC\xD2\xC2\xC8\xB9" + std::to_string(999999);
    for (auto _ : state) {
        benchmark::DoNotOptimize(table.FindRow(last, 1));
    }
}
BENCHMARK(BM_TableFindLastOfMillion);

}  // namespace

BENCHMARK_MAIN();
