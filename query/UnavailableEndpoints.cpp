#include "query/UnavailableEndpoints.h"

#include <algorithm>

#include "net/PolicyFetch.h"
#include "query/QueryTexts.h"

namespace mofeng::query {

UnavailableEndpoints::UnavailableEndpoints(const net::EndpointConfig& config)
    : m_indexHost(net::HostKey(config.TrendUrl({}))),
      m_searchHost(net::HostKey(config.ListingCountBase())) {}

void UnavailableEndpoints::NoteRow(runtime::RowId id, const RowResult& row) {
    if (row.outcome == RowOutcome::Failed && !row.failedHost.empty()) {
        m_suspects.emplace_back(id, row.failedHost);
    }
}

UnavailableEndpoints::Change UnavailableEndpoints::Update(const net::HostAvailability& hosts) {
    Change change;
    for (const std::string& host : hosts.MarkedHosts()) {
        if (!m_announced.insert(host).second) {
            continue;
        }
        if (host == m_indexHost) {
            change.notices.push_back(IndexEndpointUnavailableNotice());
        }
        if (host == m_searchHost) {
            change.notices.push_back(SearchEndpointUnavailableNotice());
        }
        std::erase_if(m_suspects, [&](const auto& suspect) {
            if (suspect.second != host) {
                return false;
            }
            change.nowPartial.push_back(suspect.first);
            return true;
        });
    }
    return change;
}

}  // namespace mofeng::query
