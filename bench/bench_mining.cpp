// Mining at scale: one run against the in-process simulator (wide keyword
// graph, no added latency) that accepts at least 20,000 keywords. Reports the
// time per accepted keyword over the first and the last 2,000, over the run
// and within the suggestion stage alone (same kind of request on both ends),
// and the judging cost alone (acceptances from the same reply), so a cost that
// grows with the list or the seen set shows up as a ratio. The whole-run
// figures also move with the yield: late replies repeat more keywords already
// seen, so more requests are spent per accepted keyword.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "mining/MiningList.h"
#include "mining/MiningRun.h"
#include "runtime/CodePage.h"
#include "runtime/MemoryTable.h"
#include "sim/Simulator.h"

namespace {

using namespace mofeng;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kWindow = 2000;
constexpr std::size_t kRequiredKeywords = 20000;

// When each keyword was accepted, in which stage, and whether a fetch came
// between it and the acceptance before it.
class AcceptanceClock final : public mining::MiningObserver {
public:
    void Progressed(const mining::MiningProgress& p) override {
        if (p.accepted > static_cast<std::int64_t>(times.size())) {
            times.push_back(Clock::now());
            stages.push_back(p.stage);
            afterFetch.push_back(p.requests != m_requests);
            requests.push_back(p.requests);
            m_requests = p.requests;
        }
    }
    Clock::time_point start = Clock::now();
    std::vector<Clock::time_point> times;
    std::vector<int> stages;
    std::vector<bool> afterFetch;
    std::vector<std::int64_t> requests;  // made when each keyword was accepted

private:
    std::int64_t m_requests = 0;
};

// Microseconds per keyword for acceptances [from, from + kWindow).
double MicrosPerKeyword(const std::vector<Clock::time_point>& times, std::size_t from,
                        Clock::time_point before) {
    const Clock::time_point begin = from == 0 ? before : times[from - 1];
    const auto span = std::chrono::duration<double, std::micro>(times[from + kWindow - 1] - begin);
    return span.count() / kWindow;
}

// Mean microseconds between acceptances [from, from + kWindow) and the one
// before each, counting only those from the same reply: the cost of judging
// and appending, free of network time.
double JudgeMicrosPerKeyword(const AcceptanceClock& clock, std::size_t from) {
    double total = 0;
    int counted = 0;
    for (std::size_t i = std::max<std::size_t>(from, 1); i < from + kWindow; ++i) {
        if (!clock.afterFetch[i]) {
            total += std::chrono::duration<double, std::micro>(clock.times[i] - clock.times[i - 1])
                         .count();
            ++counted;
        }
    }
    return counted ? total / counted : 0;
}

void MiningRunOf20000Keywords(benchmark::State& state) {
    sim::SimulatorOptions options;
    options.fanout = static_cast<int>(state.range(0));
    sim::Simulator simulator(options);
    if (!simulator.Start()) {
        state.SkipWithError("the simulator cannot listen");
        return;
    }
    net::EndpointConfig config;
    config.searchBase = config.suggestBase = simulator.BaseUrl();
    for (auto _ : state) {
        mining::MiningState miningState;
        auto lease = miningState.TryBeginRun();
        runtime::MemoryTable list(mining::MiningListColumns());
        const mining::LiveMiningInputs inputs(runtime::Utf8ToGbk("裙"), 2);
        AcceptanceClock clock;
        mining::TableMiningSink sink(list, &clock);
        runtime::CancelToken cancel;
        mining::RunMining(*lease, {config}, inputs, sink, runtime::Utf8ToGbk("连衣裙"), cancel);

        const std::vector<Clock::time_point>& times = clock.times;
        if (times.size() < kRequiredKeywords) {
            state.SkipWithError(
                ("only " + std::to_string(times.size()) + " keywords accepted; raise the fanout")
                    .c_str());
            return;
        }
        std::size_t firstSuggestion = 0;
        while (clock.stages[firstSuggestion] != 2) {
            ++firstSuggestion;
        }
        state.counters["keywords"] = static_cast<double>(times.size());
        state.counters["stage1_keywords"] = static_cast<double>(firstSuggestion);
        state.counters["requests"] = static_cast<double>(simulator.RequestCount());
        state.counters["us_per_kw_first2000"] = MicrosPerKeyword(times, 0, clock.start);
        state.counters["us_per_kw_last2000"] =
            MicrosPerKeyword(times, times.size() - kWindow, clock.start);
        state.counters["judge_us_per_kw_first2000"] = JudgeMicrosPerKeyword(clock, 0);
        state.counters["judge_us_per_kw_last2000"] =
            JudgeMicrosPerKeyword(clock, times.size() - kWindow);
        if (times.size() - firstSuggestion >= 2 * kWindow) {
            state.counters["stage2_us_per_kw_first2000"] =
                MicrosPerKeyword(times, firstSuggestion, clock.start);
            state.counters["stage2_us_per_kw_last2000"] =
                MicrosPerKeyword(times, times.size() - kWindow, clock.start);
            state.counters["stage2_judge_us_per_kw_first2000"] =
                JudgeMicrosPerKeyword(clock, firstSuggestion);
            const auto requestsPerKeyword = [&](std::size_t from) {
                const std::int64_t before = from == 0 ? 0 : clock.requests[from - 1];
                return static_cast<double>(clock.requests[from + kWindow - 1] - before) / kWindow;
            };
            state.counters["stage2_requests_per_kw_first2000"] =
                requestsPerKeyword(firstSuggestion);
            state.counters["stage2_requests_per_kw_last2000"] =
                requestsPerKeyword(times.size() - kWindow);
        }
    }
}
BENCHMARK(MiningRunOf20000Keywords)->Arg(3)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
