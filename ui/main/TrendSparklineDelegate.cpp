#include "ui/main/TrendSparklineDelegate.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

#include "ui/main/TrendRowLookup.h"

namespace mofeng::ui {
namespace {

const QColor kLineColor(0xc8, 0x55, 0x3d);  // the maple accent of the theme
constexpr int kGap = 6;                     // between the text and the line
constexpr int kMargin = 4;                  // inside the cell's edges
constexpr int kFaintAlpha = 80;             // for a line drawn behind the text

}  // namespace

TrendSparklineDelegate::TrendSparklineDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QRect TrendSparklineDelegate::LineRect(const QRect& cell, int textWidth) {
    const int left = cell.left() + kMargin + textWidth + kGap;
    const int right = cell.right() - kMargin;
    const int width = std::min(right - left + 1, kMaxWidth);
    if (width < kMinWidth) {
        return {};
    }
    return QRect(right - width + 1, cell.top() + kMargin, width, cell.height() - 2 * kMargin);
}

QPolygonF TrendSparklineDelegate::LinePoints(const app::SeriesValues& values, const QRectF& area) {
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    const double range = *high - *low;
    QPolygonF points;
    const double step = area.width() / static_cast<double>(values.size() - 1);
    for (std::size_t day = 0; day < values.size(); ++day) {
        const double share = range > 0 ? (values[day] - *low) / range : 0.5;
        points << QPointF(area.left() + step * static_cast<double>(day),
                          area.bottom() - share * area.height());
    }
    return points;
}

void TrendSparklineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    const std::optional<app::SeriesValues> series = StoredSeries(KeywordListRowOf(index));
    if (!series) {
        return;
    }
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    QRect area = LineRect(item.rect, item.fontMetrics.horizontalAdvance(item.text));
    QColor color = kLineColor;
    if (item.state & QStyle::State_Selected) {
        const QPalette::ColorGroup group =
            item.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
        color = item.palette.color(group, QPalette::HighlightedText);
    }
    if (area.isEmpty()) {
        // Too narrow to stand beside the text: faint enough to read it through.
        area = item.rect.adjusted(kMargin, kMargin, -kMargin, -kMargin);
        color.setAlpha(kFaintAlpha);
    }
    if (area.width() < 2 || area.height() < 2) {
        return;
    }
    const QPolygonF points = LinePoints(*series, QRectF(area));
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(color, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter->drawPolyline(points);
    painter->setPen(Qt::NoPen);
    painter->setBrush(color);
    painter->drawEllipse(points.back(), 1.8, 1.8);  // yesterday
    painter->restore();
}

}  // namespace mofeng::ui
