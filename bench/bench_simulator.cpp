// Requests per second that the endpoint simulator serves, one HTTP/1.0
// connection per request as the product's client makes them, and the cost of
// building each reply without the network.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "sim/SearchPage.h"
#include "sim/Simulator.h"
#include "sim/SuggestReply.h"
#include "sim/TrendDocument.h"

namespace {

using mofeng::sim::Simulator;

// Bytes received for one request, 0 when it failed.
std::size_t FetchOnce(int port, const std::string& target) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::size_t total = 0;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        const std::string request = "GET " + target +
                                    " HTTP/1.0\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; "
                                    "Windows NT 5.0)\r\nAccept: */*\r\n\r\n";
        ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
        char buffer[65536];
        for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;) {
            total += static_cast<std::size_t>(n);
        }
    }
    ::close(fd);
    return total;
}

const char* const kKeywords[] = {"%E8%BF%9E%E8%A1%A3%E8%A3%99",
                                 "%E8%BF%9E%E8%A1%A3%E8%A3%99%E5%A4%8F", "%61%62%63",
                                 "%E9%9B%AA%E7%BA%BA%E8%BF%9E%E8%A1%A3%E8%A3%99"};

void ServeOverHttp(benchmark::State& state, const std::string& prefix) {
    Simulator simulator;
    simulator.Start();
    std::size_t bytes = 0;
    std::size_t i = 0;
    for (auto _ : state) {
        bytes += FetchOnce(simulator.Port(), prefix + kKeywords[i++ % std::size(kKeywords)]);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}

void SearchPageOverHttp(benchmark::State& state) {
    ServeOverHttp(state, "/search?initiative_id=staobaoz_20150308&js=1&q=");
}
void TrendOverHttp(benchmark::State& state) {
    ServeOverHttp(state, "/trendindex.json?query=");
}
void SuggestOverHttp(benchmark::State& state) {
    ServeOverHttp(state, "/sug?code=utf-8&callback=jsonp12556&q=");
}

void BuildReplies(benchmark::State& state) {
    const mofeng::sim::KeywordData data(1, 1);
    const mofeng::sim::SearchPage page(data);
    std::size_t i = 0;
    for (auto _ : state) {
        const std::string keyword = "连衣裙" + std::to_string(i++ % 64);
        benchmark::DoNotOptimize(page.Build(keyword));
        benchmark::DoNotOptimize(mofeng::sim::BuildTrendDocument(data, keyword));
        benchmark::DoNotOptimize(mofeng::sim::BuildSuggestReply(data, keyword, "jsonp12556"));
    }
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(SearchPageOverHttp)->UseRealTime();
BENCHMARK(TrendOverHttp)->UseRealTime();
BENCHMARK(SuggestOverHttp)->UseRealTime();
BENCHMARK(BuildReplies);

BENCHMARK_MAIN();
