#pragma once

#include <QStyledItemDelegate>

#include <QRect>

#include "app/TrendSeriesCell.h"

class QPainter;

namespace mofeng::ui {

// Draws the cell as usual ("指数趋势": the trend and its mark) and a small
// line of the row's seven day values beside the text, or faintly behind it
// where the column is too narrow. A row without a stored series shows the
// text only. In a selected row the line takes the selection's text colour.
class TrendSparklineDelegate final : public QStyledItemDelegate {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TrendSparklineDelegate)

public:
    explicit TrendSparklineDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    // Where the line goes in a cell whose text takes textWidth pixels from
    // the left: the free part on the right, at most kMaxWidth wide; empty
    // when less than kMinWidth is free.
    static QRect LineRect(const QRect& cell, int textWidth);
    // The points of the line inside area: oldest day at the left edge,
    // yesterday at the right, the highest value at the top; all on the
    // middle line when the values are equal.
    static QPolygonF LinePoints(const app::SeriesValues& values, const QRectF& area);

    static constexpr int kMinWidth = 28;
    static constexpr int kMaxWidth = 52;
};

}  // namespace mofeng::ui
