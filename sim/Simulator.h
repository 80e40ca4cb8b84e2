#pragma once

#include <chrono>
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
    // Answer as today's servers do: the trend path is gone (404); the search
    // page redirects to the login page unless the request is logged in (it
    // carries the required cookie, or without one any cookie but "mfsim"),
    // and a logged-in page no longer holds the listing count; suggestion
    // replies carry decimal counts and a "magic" block of tags. (The upgrade
    // from http:// is the upgrade port's.)
    bool today = false;
    // Both set: serve HTTPS (PEM chain and key) on port, with kept-alive
    // connections.
    std::string tlsCertFile;
    std::string tlsKeyFile;
    // Serve HTTPS with a throw-away authority made at Start (the demo); its
    // certificate file lives as long as the simulator (TestAuthorityCaFile).
    bool testAuthority = false;
    // With TLS: also a plain-HTTP port (0: an ephemeral one) that answers
    // every request with a redirect to the same target over HTTPS; -1: none.
    int upgradePort = -1;
};

// Where blocked requests are redirected to (served as a login page).
inline constexpr std::string_view kSimLoginPath = "/member/login.jhtml";

// Empty when the options are usable, otherwise what is wrong with them:
// port 0..65535, fanout 1..8, latency 0..600000 ms, each rate 0..1 and their
// sum at most 1, rate limit 0..100000, a required cookie of the form NAME=VALUE,
// both TLS files or neither (and not with a test authority), an upgrade port
// -1..65535 only with TLS.
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
    std::string BaseUrl() const;  // "http://127.0.0.1:PORT", or https:// with TLS
    // "http://127.0.0.1:PORT" of the upgrade port; empty without one.
    std::string UpgradeBaseUrl() const;
    // The PEM file of the authority a client must trust: the test authority's
    // while the simulator lives; empty without one.
    std::string TestAuthorityCaFile() const;
    // Connections accepted so far on the main port.
    std::uint64_t ConnectionCount() const;

    const SimulatorOptions& Options() const;

    // Every request received so far, in arrival order; kept after Stop().
    std::vector<RequestRecord> Requests() const;
    // Number of requests received so far; ClearRequests() does not reset it.
    // A request counts when its handling starts, which may be after its
    // client has given up: see Settle().
    std::uint64_t RequestCount() const;
    // Returns once every connection the main port accepted before the call
    // has been served: with its clients stopped, RequestCount() and
    // Requests() stay as they are. False when not running, or after limit
    // (a TLS client keeps its connection open).
    bool Settle(std::chrono::milliseconds limit = std::chrono::seconds(10));
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

// The demo's simulator: over HTTPS with a test authority for https, and as
// today's servers with an upgrade port for today.
SimulatorOptions DemoOptions(bool https, bool today);
// Where the demo's endpoints point: the upgrade port when there is one (each
// request is upgraded as today's servers do), else the simulator itself.
std::string DemoBase(const Simulator& simulator);

}  // namespace mofeng::sim
