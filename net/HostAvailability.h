#pragma once

#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "net/FetchResult.h"

namespace mofeng::net {

// A try that never reached a server answering it: refused, name not
// resolved, connect or stall timeout, the overall deadline, a failed TLS
// handshake. Anything that arrived from the server (an error status, a cut
// body) shows the host is there.
bool IsConnectionFailure(TransportError error);

// The hosts one run has given up on. A host is marked after kFailuresToMark
// tries in a row (over all the run's threads) ended in a connection failure,
// with no answered try in between; it stays marked for the life of this
// object. Cancelled tries do not count either way. Thread-safe.
class HostAvailability final {
public:
    static constexpr int kFailuresToMark = 5;

    bool IsMarked(std::string_view host) const;
    // Notes how one try to host (HostKey form) ended; true when this try
    // marked it.
    bool Record(std::string_view host, TransportError error);
    std::vector<std::string> MarkedHosts() const;  // in the order they were marked

private:
    mutable std::mutex m_mutex;
    std::map<std::string, int, std::less<>> m_failuresInRow;
    std::vector<std::string> m_marked;
};

}  // namespace mofeng::net
