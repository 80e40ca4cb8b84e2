#include "ui/common/OutcomeMarks.h"

#include <QBrush>
#include <QColor>

#include "query/RowOutcome.h"
#include "ui/common/GbkQt.h"

namespace mofeng::ui {
namespace {

const QColor kFailedTint(0xf8, 0xd0, 0xcc);      // light red
const QColor kBlockedTint(0xf7, 0xe0, 0xa8);     // light amber
const QColor kNotQueriedTint(0xee, 0xee, 0xee);  // light grey

}  // namespace

QVariant OutcomeBackground(const std::string& outcomeCell) {
    const auto outcome = query::RowOutcomeFromText(outcomeCell);
    if (!outcome) {
        return {};
    }
    switch (*outcome) {
        case query::RowOutcome::Failed:
            return QBrush(kFailedTint);
        case query::RowOutcome::Blocked:
            return QBrush(kBlockedTint);
        case query::RowOutcome::NotQueried:
            return QBrush(kNotQueriedTint);
        default:
            return {};
    }
}

QVariant OutcomeToolTip(const std::string& outcomeCell, const std::string& reasonCell) {
    const auto outcome = query::RowOutcomeFromText(outcomeCell);
    if (!outcome || (!query::IsTrouble(*outcome) && *outcome != query::RowOutcome::NotQueried &&
                     *outcome != query::RowOutcome::Partial)) {
        return {};
    }
    QString text = FromGbk(outcomeCell);
    if (!reasonCell.empty()) {
        text += QStringLiteral("：") + FromGbk(reasonCell);
    }
    return text;
}

}  // namespace mofeng::ui
