#include "net/HostAvailability.h"

#include <algorithm>

namespace mofeng::net {

bool IsConnectionFailure(TransportError error) {
    switch (error) {
        case TransportError::Connect:
        case TransportError::Resolve:
        case TransportError::Tls:
        case TransportError::ConnectTimeout:
        case TransportError::Stall:
        case TransportError::Deadline:
            return true;
        default:
            return false;
    }
}

bool HostAvailability::IsMarked(std::string_view host) const {
    std::lock_guard lock(m_mutex);
    return std::find(m_marked.begin(), m_marked.end(), host) != m_marked.end();
}

bool HostAvailability::Record(std::string_view host, TransportError error) {
    if (error == TransportError::Cancelled || error == TransportError::UnusableUrl ||
        error == TransportError::UrlTooLong) {
        return false;  // nothing was asked of the host
    }
    std::lock_guard lock(m_mutex);
    if (std::find(m_marked.begin(), m_marked.end(), host) != m_marked.end()) {
        return false;
    }
    auto it = m_failuresInRow.find(host);
    if (it == m_failuresInRow.end()) {
        it = m_failuresInRow.emplace(std::string(host), 0).first;
    }
    if (!IsConnectionFailure(error)) {
        it->second = 0;
        return false;
    }
    if (++it->second < kFailuresToMark) {
        return false;
    }
    m_marked.emplace_back(host);
    return true;
}

std::vector<std::string> HostAvailability::MarkedHosts() const {
    std::lock_guard lock(m_mutex);
    return m_marked;
}

}  // namespace mofeng::net
