#pragma once

#include <QString>

#include "query/IndexQueryRun.h"
#include "runtime/TableData.h"

namespace mofeng::ui {

// The outcome counts of a list's rows (query::kOutcomeColumn); rows without
// an outcome are not counted. An empty summary for a list without that cell.
query::QuerySummary CountOutcomes(const runtime::TableData& data);
// "正常 N · 无数据 N · 失败 N · 被拦截 N", then " · 未查询 N" when some rows
// were not reached.
QString OutcomeCountsText(const query::QuerySummary& summary);

}  // namespace mofeng::ui
