#include "ui/common/OutcomeCountsText.h"

#include "query/RowOutcome.h"

namespace mofeng::ui {

query::QuerySummary CountOutcomes(const runtime::TableData& data) {
    query::QuerySummary summary;
    if (data.ColumnCount() <= query::kOutcomeColumn) {
        return summary;
    }
    for (int row = 0; row < data.RowCount(); ++row) {
        if (const auto outcome = query::RowOutcomeFromText(data.Cell(row, query::kOutcomeColumn))) {
            ++summary.counts[static_cast<std::size_t>(*outcome)];
        }
    }
    return summary;
}

QString OutcomeCountsText(const query::QuerySummary& summary) {
    using query::RowOutcome;
    QString text = QStringLiteral("正常 %1 · 无数据 %2 · 失败 %3 · 被拦截 %4")
                       .arg(summary.Count(RowOutcome::Normal))
                       .arg(summary.Count(RowOutcome::NoData))
                       .arg(summary.Count(RowOutcome::Failed))
                       .arg(summary.Count(RowOutcome::Blocked));
    if (const int partial = summary.Count(RowOutcome::Partial); partial > 0) {
        text += QStringLiteral(" · 部分 %1").arg(partial);
    }
    if (const int notQueried = summary.Count(RowOutcome::NotQueried); notQueried > 0) {
        text += QStringLiteral(" · 未查询 %1").arg(notQueried);
    }
    return text;
}

}  // namespace mofeng::ui
