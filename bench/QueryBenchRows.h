#pragma once

#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "app/KeywordListColumns.h"
#include "net/EndpointConfig.h"
#include "query/IndexQueryRun.h"
#include "runtime/CancelToken.h"
#include "runtime/CodePage.h"
#include "runtime/MemoryTable.h"
#include "runtime/Table.h"

// What the query benchmarks run over: numbered GBK keyword rows, and the
// timed loop of whole query runs over them.
namespace mofeng::bench {

// count rows "序号, keyword": ten product words with a running suffix.
inline std::vector<runtime::Row> KeywordRows(int count) {
    const char* const words[] = {"连衣裙", "衬衫",   "牛仔裤", "凉鞋", "双肩包",
                                 "口红",   "手机壳", "保温杯", "毛衣", "耳机"};
    std::vector<runtime::Row> rows;
    for (int i = 0; i < count; ++i) {
        const std::string keyword = std::string(words[i % 10]) + " " + std::to_string(i / 10);
        rows.push_back({std::to_string(i + 1), runtime::Utf8ToGbk(keyword)});
    }
    return rows;
}

// Each iteration queries a fresh list of `keywords` rows at config (the list
// is made outside the timing); reports rows_per_s.
inline void TimeQueryRuns(benchmark::State& state, const net::EndpointConfig& config,
                          int keywords) {
    const std::vector<runtime::Row> rows = KeywordRows(keywords);
    runtime::CancelToken cancel;
    for (auto _ : state) {
        state.PauseTiming();
        runtime::MemoryTable table(app::KeywordListColumns());
        table.AppendRows(rows);
        state.ResumeTiming();
        query::IndexQueryRun(config, table, cancel);
    }
    state.counters["rows_per_s"] = benchmark::Counter(
        static_cast<double>(keywords) * state.iterations(), benchmark::Counter::kIsRate);
}

}  // namespace mofeng::bench
