// Index query over HTTPS on loopback: connections kept alive (with the TLS
// session cache) against one connection and full handshake per fetch, side
// by side in one run, both against the same simulator with a test authority.
// Compare the two rows_per_s counters; the timing is only meaningful on a
// quiet machine.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "QueryBenchRows.h"
#include "app/KeywordListColumns.h"
#include "net/FetchSettings.h"
#include "query/IndexQueryRun.h"
#include "runtime/CodePage.h"
#include "runtime/MemoryTable.h"
#include "sim/Simulator.h"

namespace {

using namespace mofeng;

constexpr int kRunKeywords = 500;

using bench::KeywordRows;

// range(0): 1 keeps connections, 0 opens one per fetch.
void HttpsQueryRun(benchmark::State& state) {
    const bool reuse = state.range(0) != 0;
    sim::SimulatorOptions options;
    options.testAuthority = true;
    sim::Simulator simulator(options);
    if (!simulator.Start()) {
        state.SkipWithError("the simulator cannot serve HTTPS");
        return;
    }
    net::FetchSettings settings;
    settings.caFile = simulator.TestAuthorityCaFile();
    settings.reuseConnections = reuse;
    net::SetFetchSettings(settings);
    net::EndpointConfig config;
    config.searchBase = config.indexBase = simulator.BaseUrl();
    const std::vector<runtime::Row> rows = KeywordRows(kRunKeywords);
    runtime::CancelToken cancel;
    for (auto _ : state) {
        state.PauseTiming();
        runtime::MemoryTable table(app::KeywordListColumns());
        table.AppendRows(rows);
        state.ResumeTiming();
        query::IndexQueryRun(config, table, cancel);
    }
    state.SetLabel(reuse ? "reused connections" : "one connection per fetch");
    state.counters["rows_per_s"] = benchmark::Counter(
        static_cast<double>(kRunKeywords) * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["requests"] = static_cast<double>(simulator.RequestCount());
    state.counters["connections"] = static_cast<double>(simulator.ConnectionCount());
    net::SetFetchSettings({});
}
BENCHMARK(HttpsQueryRun)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
