#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "net/EndpointConfig.h"
#include "net/HostAvailability.h"
#include "query/QueryRow.h"
#include "runtime/Table.h"

namespace mofeng::query {

// What a run's marked hosts mean for its report: the one notice per endpoint
// ("指数接口不可用，本次不再请求" for the trend host, "搜索接口不可用，本次不再请求"
// for the host the listing count comes from; GBK), and the rows finished
// 失败 before the mark whose only trouble was that host: they become 部分.
// Not thread-safe: the run calls it under its lock.
class UnavailableEndpoints final {
public:
    explicit UnavailableEndpoints(const net::EndpointConfig& config);

    // Keeps a finished row whose failure a later mark may explain.
    void NoteRow(runtime::RowId id, const RowResult& row);

    struct Change {
        std::vector<std::string> notices;        // not given before
        std::vector<runtime::RowId> nowPartial;  // noted rows a new mark explains
    };
    // What the hosts marked in hosts since the last call change.
    Change Update(const net::HostAvailability& hosts);

private:
    std::string m_indexHost;
    std::string m_searchHost;
    std::set<std::string> m_announced;                               // marked hosts already handled
    std::vector<std::pair<runtime::RowId, std::string>> m_suspects;  // row, failed host
};

}  // namespace mofeng::query
