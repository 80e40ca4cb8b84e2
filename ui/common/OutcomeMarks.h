#pragma once

#include <QVariant>

#include <string>

namespace mofeng::ui {

// How a keyword-list row shows its stored outcome (query::kOutcomeColumn and
// kReasonColumn, GBK). Failed and blocked rows get a clear tint, rows the run
// never reached a lighter one; rows with values or without data get none.
// The tints are light enough that the list's dark text stays readable, and a
// selected row keeps the selection colours.
QVariant OutcomeBackground(const std::string& outcomeCell);
// The tooltip of every cell of a marked row: the outcome, then the reason
// when there is one ("失败：连接超时，已重试 2 次"). Null for an unmarked row.
QVariant OutcomeToolTip(const std::string& outcomeCell, const std::string& reasonCell);
// A failed or blocked row that kept its earlier figures
// (query::ShowsKeptFigures) is tinted apart from one without figures; its
// tooltip: "查询失败，显示的是 <时间> 的数据: <原因>", the time in local time
// from the figures-time cell (Unix seconds; "之前" when unknown).
QVariant KeptFiguresBackground();
QString KeptFiguresToolTip(const std::string& figuresTimeCell, const std::string& reasonCell);

}  // namespace mofeng::ui
