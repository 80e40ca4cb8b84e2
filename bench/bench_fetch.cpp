// Fetches per second of HttpFetch on one thread against a local server that
// answers every request with the same small body.
#include <benchmark/benchmark.h>
#include <httplib.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "net/HttpFetch.h"

namespace {

class LocalServer final {
public:
    explicit LocalServer(std::string body) : m_body(std::move(body)) {
        m_server.Get("/search", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content(m_body, "text/html; charset=gbk");
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
    }
    ~LocalServer() {
        while (!m_server.is_running()) {
            std::this_thread::yield();
        }
        m_server.stop();
        m_thread.join();
    }
    LocalServer(const LocalServer&) = delete;
    LocalServer& operator=(const LocalServer&) = delete;

    std::string Url() const {
        return "http://127.0.0.1:" + std::to_string(m_port) +
               "/search?initiative_id=staobaoz_20150308&js=1&q=%E8%BF%9E%E8%A1%A3%E8%A3%99";
    }

private:
    std::string m_body;
    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
};

void BM_HttpFetchSmallBody(benchmark::State& state) {
    const auto bodyBytes = static_cast<std::size_t>(state.range(0));
    LocalServer server(std::string(bodyBytes, 'x'));
    const std::string url = server.Url();
    for (auto _ : state) {
        const std::string body = mofeng::net::HttpFetch(url);
        if (body.size() != bodyBytes) {
            state.SkipWithError("short body");
            break;
        }
        benchmark::DoNotOptimize(body.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HttpFetchSmallBody)
    ->Arg(512)
    ->Arg(16384)
    ->UseRealTime()
    ->MinTime(1.0)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The same against a server given by MOFENG_FETCH_URL (bench/fetch_vs_ab.sh
// points it at mofeng-sim, beside ab on the same URL).
void BM_HttpFetchExternalUrl(benchmark::State& state) {
    const char* url = std::getenv("MOFENG_FETCH_URL");
    if (url == nullptr || *url == '\0') {
        state.SkipWithError("MOFENG_FETCH_URL is not set");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(mofeng::net::HttpFetch(url).data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HttpFetchExternalUrl)
    ->UseRealTime()
    ->Iterations(2000)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
