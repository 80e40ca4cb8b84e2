#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/Observation.h"
#include "runtime/Table.h"

namespace mofeng::app {

// The observation a stored keyword-list row makes on `day`: nullopt unless
// the row's last run ended with figures (正常 or 无数据; not 失败, 被拦截 or
// 未查询), with the row's market figures. The suggestion weight (as the
// reply gave it; the list holds it rounded) is filled by the caller.
std::optional<Observation> ObservationOfRow(const runtime::Row& stored, const std::string& day);

// Today's date on the seller's clock, YYYY-MM-DD.
std::string LocalToday();

}  // namespace mofeng::app
