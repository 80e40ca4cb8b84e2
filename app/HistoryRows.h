#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/Observation.h"
#include "runtime/Table.h"

namespace mofeng::app {

// The observation a stored keyword-list row makes on `day`: nullopt unless
// the row's last run ended with figures (正常 or 无数据; not 失败, 被拦截 or
// 未查询). Market figures and the suggestion weight are filled by the caller.
std::optional<Observation> ObservationOfRow(const runtime::Row& stored, const std::string& day);

// Today's date on the seller's clock, YYYY-MM-DD.
std::string LocalToday();

}  // namespace mofeng::app
