#pragma once

#include <string>
#include <string_view>

#include "net/EndpointConfig.h"
#include "net/HostAvailability.h"
#include "query/RowOutcome.h"
#include "regex/RegexObject.h"
#include "runtime/CancelToken.h"

namespace mofeng::query {

// Everything one keyword's lookups give a row.
struct RowResult {
    // The figures (columns::Column::ListingCount to Slope). The figures of a
    // lookup that failed or was blocked stay empty (the competition multiple
    // needs both); a reply, even one without values, gives them as the
    // lookups always wrote them.
    std::string listingCount;  // from the search page
    std::string yesterday;     // the rest from the trend reply
    std::string average;
    std::string trend;
    std::string competition;  // needs both
    std::string slope;
    RowOutcome outcome = RowOutcome::NotQueried;
    std::string reason;  // GBK; empty for 正常 and 无数据
    std::string series;  // the seven day values joined by ','; empty without a series
    // The host (net::HostKey) whose connection failures alone made the row
    // 失败, the other lookup having answered; empty otherwise. Should the run
    // mark that host, the row is 部分 like the rows after it.
    std::string failedHost;
};

// Reason of a row whose keyword holds runtime::kNoGbkFormMark, which is
// never sent: "含 GBK 无法表示的字符" (GBK).
inline constexpr std::string_view kNoGbkFormReason =
    "\xBA\xAC GBK \xCE\xDE\xB7\xA8\xB1\xED\xCA\xBE\xB5\xC4\xD7\xD6\xB7\xFB";

// The trend request, then the search request, each paced and retried by
// net::FetchWithPolicy; the row's outcome is the worse of the two. The run's
// scheduler calls this once per keyword (GBK); a keyword holding
// runtime::kNoGbkFormMark is 未查询 with kNoGbkFormReason, without a request.
// A raised cancel token cuts
// the lookups short; the result is then to be dropped. With hosts (the run's),
// a lookup whose host is marked there is not made: its cells stay empty, and
// the row is 部分 when the other lookup is not in trouble (失败 when both
// hosts are marked).
RowResult QueryRow(const net::EndpointConfig& config, std::string_view keyword,
                   regex::RegexObject& regex, const runtime::CancelToken* cancel,
                   net::HostAvailability* hosts = nullptr);

}  // namespace mofeng::query
