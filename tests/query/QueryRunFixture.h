#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "net/CookieJar.h"
#include "net/FetchSettings.h"
#include "net/HostPacer.h"
#include "net/HttpFetch.h"
#include "query/RowOutcome.h"

namespace mofeng::query {

// A query test whose fetches start from a clean process: its own transport
// limits, no pacing history, no cookies from an earlier test. The limits,
// the default fetch settings and the pacer are put back afterwards.
class QueryRunFixture : public ::testing::Test {
protected:
    explicit QueryRunFixture(net::TransportLimits limits) : m_limits(limits) {}

    void SetUp() override {
        m_saved = net::CurrentTransportLimits();
        net::SetTransportLimits(m_limits);
        net::ProcessPacer().Reset();
        net::ProcessCookieJar().Clear();
    }
    void TearDown() override {
        net::SetTransportLimits(m_saved);
        net::SetFetchSettings({});
        net::ProcessPacer().Reset();
    }

    // Default limits but for the stall timeout.
    static net::TransportLimits StallAfter(std::chrono::milliseconds stallTimeout) {
        net::TransportLimits limits;
        limits.stallTimeout = stallTimeout;
        return limits;
    }

private:
    net::TransportLimits m_limits;
    net::TransportLimits m_saved;
};

inline std::string Text(RowOutcome outcome) {
    return std::string(RowOutcomeText(outcome));
}

}  // namespace mofeng::query
