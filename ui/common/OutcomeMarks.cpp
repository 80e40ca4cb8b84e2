#include "ui/common/OutcomeMarks.h"

#include <QBrush>
#include <QColor>
#include <QDateTime>

#include "query/RowOutcome.h"
#include "ui/common/GbkQt.h"

namespace mofeng::ui {
namespace {

const QColor kFailedTint(0xf8, 0xd0, 0xcc);      // light red
const QColor kBlockedTint(0xf7, 0xe0, 0xa8);     // light amber
const QColor kNotQueriedTint(0xee, 0xee, 0xee);  // light grey
const QColor kKeptTint(0xfb, 0xf0, 0xc8);        // pale yellow: figures shown, but old

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

QVariant KeptFiguresBackground() {
    return QBrush(kKeptTint);
}

QString KeptFiguresToolTip(const std::string& figuresTimeCell, const std::string& reasonCell) {
    bool known = false;
    const qint64 seconds = QString::fromStdString(figuresTimeCell).toLongLong(&known);
    const QString when =
        known && seconds > 0
            ? QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("yyyy-MM-dd HH:mm"))
            : QStringLiteral("之前");
    return QStringLiteral("查询失败，显示的是 %1 的数据: %2").arg(when, FromGbk(reasonCell));
}

}  // namespace mofeng::ui
