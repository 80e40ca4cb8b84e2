#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/KeywordData.h"
#include "sim/RequestRecord.h"

namespace mofeng::sim {

// Options of the endpoint simulator. Rates are fractions 0..1 of requests,
// chosen deterministically from the seed and the request.
struct SimulatorOptions {
    int port = 0;  // 0: an ephemeral port
    std::uint64_t seed = 1;
    int fanout = 1;  // scales the keyword graph
    int latencyMs = 0;
    double failRate = 0;           // 500 with an HTML body
    double dropRate = 0;           // connection closed mid-body
    double stallRate = 0;          // headers sent, then silence
    double garbageRate = 0;        // random bytes with NULs and invalid UTF-8
    std::string logPath;           // one line per request; empty: no log
    double rateLimit = 0;          // above this many endpoint requests per second: 429; 0: none
    std::uint64_t blockAfter = 0;  // endpoint requests after the Nth go to the login page; 0: none
    std::string requireCookie;     // "NAME=VALUE": requests without it go to the login page
    bool decimalCounts = false;    // suggestion counts as decimals, as current replies send them
    int h5TokenTtlS = 0;           // h5 tokens older than this are refused; 0: never
    bool suggestSelf = false;      // suggestion replies start with the keyword and its weight
};

// Where blocked requests are redirected to (served as a login page).
inline constexpr std::string_view kSimLoginPath = "/member/login.jhtml";

// Empty when the options are usable, otherwise what is wrong with them:
// port 0..65535, fanout 1..8, latency 0..600000 ms, each rate 0..1 and their
// sum at most 1, rate limit 0..100000, a required cookie of the form NAME=VALUE.
std::string ValidateSimulatorOptions(const SimulatorOptions& options);

// A local HTTP server on 127.0.0.1 that answers the three endpoint requests
// (search page, trend index, suggestions) with deterministic data.
//
// Faults apply to endpoint requests only; which request gets which fault
// depends on the seed and the request's arrival number. The first reply sets
// the cookie "mfsim"; the records show whether later requests bring it back.
// Stop() returns promptly even while replies are stalled. Thread-safe.
class Simulator {
public:
    explicit Simulator(SimulatorOptions options = {});
    ~Simulator();  // stops the server
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Binds and starts serving on a background thread; false when it cannot
    // bind, the options are not valid or the log file cannot be opened.
    bool Start();
    void Stop();
    int Port() const;
    std::string BaseUrl() const;  // "http://127.0.0.1:PORT"

    const SimulatorOptions& Options() const;

    // Every request received so far, in arrival order; kept after Stop().
    std::vector<RequestRecord> Requests() const;
    // Number of requests received so far; ClearRequests() does not reset it.
    std::uint64_t RequestCount() const;
    void ClearRequests();

    // What the endpoints answer for a keyword (UTF-8), without asking them.
    const KeywordData& Data() const;
    long long ExpectedListingCount(std::string_view keyword) const;
    std::optional<TrendValues> ExpectedSeries(std::string_view keyword) const;
    // The related-search link texts as the page shows them (UTF-8).
    std::vector<std::string> ExpectedRelated(std::string_view keyword) const;
    std::vector<SuggestionEntry> ExpectedSuggestions(std::string_view keyword) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace mofeng::sim
