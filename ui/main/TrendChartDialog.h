#pragma once

#include <QDate>
#include <QDialog>
#include <QStringList>

#include <vector>

#include "app/Observation.h"
#include "app/TrendSeriesCell.h"

class QChart;
class QChartView;
class QTabWidget;

namespace mofeng::runtime {
class TableData;
}

namespace mofeng::ui {

// "MM-dd" of the seven days ending with yesterday, oldest first.
QStringList TrendDayLabels(QDate yesterday);

// The seven days of one keyword's index as a line over the days, with the
// seven-day average (as the list's 7天平均指数 gives it) as a dashed
// horizontal line; the chart's title is the keyword. A second page, "历史",
// shows every day the history observed the keyword. Not modal. UI thread.
class TrendChartDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TrendChartDialog)

public:
    explicit TrendChartDialog(QWidget* parent = nullptr);

    // Replaces what the dialog shows.
    void ShowSeries(const QString& keyword, const app::SeriesValues& values, QDate yesterday);
    QChart* Chart() const;
    // Replaces the 历史 page: one keyword's observations, by day.
    void ShowHistory(const QString& keyword, const std::vector<app::Observation>& observations);
    QChart* HistoryChart() const;
    QTabWidget* Pages() const { return m_pages; }

private:
    QTabWidget* m_pages = nullptr;
    QChartView* m_view = nullptr;
    QChartView* m_historyView = nullptr;
};

// Opens parent's chart dialog (one per parent, reused) for row of data, the
// keyword list's storage, with the days ending yesterday, and the keyword's
// history from the session database. False, and nothing opened, when the row
// does not exist or has no stored series.
bool ShowTrendChart(QWidget* parent, const runtime::TableData& data, int row);

}  // namespace mofeng::ui
