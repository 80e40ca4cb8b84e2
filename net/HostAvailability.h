#pragma once

#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "net/FetchResult.h"

namespace mofeng::net {

// "接口不可用：连续 5 次连接失败" (GBK): the reason of a lookup that a marked
// host did not get.
inline constexpr std::string_view kHostUnavailableReason =
    "\xBD\xD3\xBF\xDA\xB2\xBB\xBF\xC9\xD3\xC3\xA3\xBA\xC1\xAC\xD0\xF8 5 "
    "\xB4\xCE\xC1\xAC\xBD\xD3\xCA\xA7\xB0\xDC";

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
