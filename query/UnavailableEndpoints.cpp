#include "query/UnavailableEndpoints.h"

#include <algorithm>

#include "net/PolicyFetch.h"

namespace mofeng::query {
namespace {

constexpr std::string_view kIndexEndpoint = "\xD6\xB8\xCA\xFD\xBD\xD3\xBF\xDA";   // 指数接口
constexpr std::string_view kSearchEndpoint = "\xCB\xD1\xCB\xF7\xBD\xD3\xBF\xDA";  // 搜索接口
// 不可用，本次不再请求
constexpr std::string_view kNoticeTail =
    "\xB2\xBB\xBF\xC9\xD3\xC3\xA3\xAC\xB1\xBE\xB4\xCE\xB2\xBB\xD4\xD9\xC7\xEB\xC7\xF3";

}  // namespace

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
            change.notices.push_back(std::string(kIndexEndpoint) + std::string(kNoticeTail));
        }
        if (host == m_searchHost) {
            change.notices.push_back(std::string(kSearchEndpoint) + std::string(kNoticeTail));
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
