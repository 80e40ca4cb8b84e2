#pragma once

#include <QString>

#include <vector>

#include "app/Observation.h"

class QChart;

namespace mofeng::ui {

// Every observed day of one keyword on a date axis: 宝贝数量 on the right
// axis, the demand figures present (昨日搜索指数, 7天平均指数 and the market
// figures that count searches, clicks or trade) on the left. A day without an
// observation, or without that figure, breaks the figure's line. The chart
// says so when there is nothing to draw. observations: one keyword's, by day.
QChart* BuildHistoryChart(const QString& keyword,
                          const std::vector<app::Observation>& observations);

}  // namespace mofeng::ui
