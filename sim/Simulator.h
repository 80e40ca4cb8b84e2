#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace mofeng::sim {

// Options of the endpoint simulator. Rates are fractions 0..1 of requests,
// chosen deterministically from the seed and the request.
struct SimulatorOptions {
    int port = 0;  // 0: an ephemeral port
    std::uint64_t seed = 1;
    int fanout = 1;  // scales the keyword graph
    int latencyMs = 0;
    double failRate = 0;     // 500 with an HTML body
    double dropRate = 0;     // connection closed mid-body
    double stallRate = 0;    // headers sent, then silence
    double garbageRate = 0;  // random bytes with NULs and invalid UTF-8
    std::string logPath;     // one line per request; empty: no log
};

// A local HTTP server on 127.0.0.1 that answers the three endpoint requests
// (search page, trend index, suggestions) with deterministic data.
class Simulator {
public:
    explicit Simulator(SimulatorOptions options = {});
    ~Simulator();  // stops the server
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Binds and starts serving on a background thread; false when it cannot bind.
    bool Start();
    void Stop();
    int Port() const;
    std::string BaseUrl() const;  // "http://127.0.0.1:PORT"

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace mofeng::sim
