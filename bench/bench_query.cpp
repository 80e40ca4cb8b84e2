// Index query throughput: a 2,000-keyword run against the in-process
// simulator (no added latency), and the parsing steps of one row.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "QueryBenchRows.h"
#include "app/KeywordListColumns.h"
#include "query/IndexMetrics.h"
#include "query/IndexQueryRun.h"
#include "query/SearchResultCount.h"
#include "query/TrendSeries.h"
#include "regex/RegexObject.h"
#include "runtime/CodePage.h"
#include "runtime/MemoryTable.h"
#include "sim/Simulator.h"

namespace {

using namespace mofeng;

constexpr int kRunKeywords = 2000;

void QueryRunAgainstSimulator(benchmark::State& state) {
    sim::Simulator simulator;
    if (!simulator.Start()) {
        state.SkipWithError("the simulator cannot listen");
        return;
    }
    net::EndpointConfig config;
    config.searchBase = config.indexBase = config.suggestBase = simulator.BaseUrl();
    bench::TimeQueryRuns(state, config, kRunKeywords);
    state.counters["requests"] = static_cast<double>(simulator.RequestCount());
}
BENCHMARK(QueryRunAgainstSimulator)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void ListingCountFromLargePage(benchmark::State& state) {
    // The count sits deep in a page of some 100 KB, as on the real page.
    std::string page(100 * 1024, 'x');
    page += R"("totalHits":"123456",)";
    for (auto _ : state) {
        benchmark::DoNotOptimize(query::ListingCountFromPage(page));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(page.size()) * state.iterations());
}
BENCHMARK(ListingCountFromLargePage);

void TrendSeriesAndMetrics(benchmark::State& state) {
    const std::string body =
        R"({"data":{"pc":[1,2,3,4,5,6,7,8,9],"all":[5,9,100,110,121,133,146,161,177,0],)"
        R"("lastdate":"2026-12-06"}})";
    regex::RegexObject regex;
    for (auto _ : state) {
        const query::TrendSeries series = query::ParseTrendSeries(body, regex);
        benchmark::DoNotOptimize(query::ComputeIndexMetrics(series, 5000));
    }
}
BENCHMARK(TrendSeriesAndMetrics);

}  // namespace

BENCHMARK_MAIN();
