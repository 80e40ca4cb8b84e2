#include "ui/main/TrendChartDialog.h"

#include <QBarCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <vector>

#include "app/HistoryStore.h"
#include "columns/KeywordListSchema.h"
#include "query/RowOutcome.h"
#include "runtime/TableData.h"
#include "ui/common/GbkQt.h"
#include "ui/common/SessionDatabaseFile.h"
#include "ui/main/HistoryChart.h"

namespace mofeng::ui {
namespace {

const QColor kSeriesColor(0xc8, 0x55, 0x3d);
const QColor kAverageColor(0x2a, 0x6f, 0xb0);
// In parts of the days' span: a label this close below the average would
// touch it, and how far under its point such a label is drawn instead.
constexpr double kLabelClearance = 0.16;
constexpr double kLabelDrop = 0.2;

// A point's label stands above it; just below the average line it would
// cover the line. Those labels move under their points: each drawn by an
// unmarked series of one point that far lower, the day's value as its text.
std::vector<QScatterSeries*> LabelsBelowAverage(QLineSeries& days, const app::SeriesValues& values,
                                                int average) {
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    const double span = std::max(*high - *low, 1.0);
    std::vector<QScatterSeries*> labels;
    for (std::size_t day = 0; day < values.size(); ++day) {
        const double gap = average - values[day];
        if (gap <= 0 || gap > span * kLabelClearance) {
            continue;
        }
        days.setPointConfiguration(static_cast<int>(day),
                                   QXYSeries::PointConfiguration::LabelVisibility, false);
        auto* label = new QScatterSeries;
        label->setMarkerSize(0);
        label->setPen(Qt::NoPen);
        label->setBrush(Qt::transparent);
        label->setPointLabelsVisible(true);
        label->setPointLabelsClipping(false);
        label->setPointLabelsColor(days.pointLabelsColor());
        label->setPointLabelsFormat(QString::number(values[day], 'f', 0));
        label->append(static_cast<double>(day), values[day] - span * kLabelDrop);
        labels.push_back(label);
    }
    return labels;
}

QChart* BuildChart(const QString& keyword, const app::SeriesValues& values, QDate yesterday) {
    auto* chart = new QChart;
    chart->setTitle(keyword);
    chart->legend()->setAlignment(Qt::AlignBottom);

    auto* days = new QLineSeries;
    days->setName(QStringLiteral("搜索指数"));
    for (std::size_t day = 0; day < values.size(); ++day) {
        days->append(static_cast<double>(day), values[day]);
    }
    days->setPen(QPen(kSeriesColor, 2.2));
    days->setPointsVisible(true);
    days->setPointLabelsVisible(true);
    days->setPointLabelsFormat(QStringLiteral("@yPoint"));
    days->setPointLabelsClipping(false);

    const int average = app::SeriesAverage(values);
    auto* averageLine = new QLineSeries;
    averageLine->setName(QStringLiteral("7天平均 %1").arg(average));
    averageLine->append(0, average);
    averageLine->append(static_cast<double>(values.size() - 1), average);
    averageLine->setPen(QPen(kAverageColor, 1.5, Qt::DashLine));

    chart->addSeries(days);
    chart->addSeries(averageLine);
    const std::vector<QScatterSeries*> below = LabelsBelowAverage(*days, values, average);
    for (QScatterSeries* label : below) {
        chart->addSeries(label);
        chart->legend()->markers(label).value(0)->setVisible(false);
    }

    auto* dayAxis = new QBarCategoryAxis;
    dayAxis->append(TrendDayLabels(yesterday));
    auto* valueAxis = new QValueAxis;
    // The days' own span with a margin, so that their changes can be seen;
    // never below 0. Equal days stand at two thirds of the height.
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    const double margin = (*high - *low) * 0.3;
    if (margin > 0) {
        valueAxis->setRange(std::max(0.0, *low - margin), *high + margin);
    } else {
        valueAxis->setRange(0, *high > 0 ? *high * 1.5 : 1);
    }
    valueAxis->setLabelFormat(QStringLiteral("%.0f"));
    valueAxis->applyNiceNumbers();
    chart->addAxis(dayAxis, Qt::AlignBottom);
    chart->addAxis(valueAxis, Qt::AlignLeft);
    std::vector<QXYSeries*> all{days, averageLine};
    all.insert(all.end(), below.begin(), below.end());
    for (QXYSeries* series : all) {
        series->attachAxis(dayAxis);
        series->attachAxis(valueAxis);
    }
    return chart;
}

}  // namespace

// The keyword's observations; none when the session has no history yet.
static std::vector<app::Observation> KeywordHistory(const std::string& keyword) {
    const std::filesystem::path path = SessionDatabaseFilePath();
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        return {};
    }
    const auto db = app::SqliteDatabase::Open(path, SQLITE_OPEN_READONLY);
    return db && app::history::Present(db) ? app::history::Read(db, {keyword, std::nullopt})
                                           : std::vector<app::Observation>{};
}

QStringList TrendDayLabels(QDate yesterday) {
    QStringList labels;
    for (int back = 6; back >= 0; --back) {
        labels << yesterday.addDays(-back).toString(QStringLiteral("MM-dd"));
    }
    return labels;
}

TrendChartDialog::TrendChartDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("趋势图"));
    setModal(false);
    resize(560, 360);
    m_pages = new QTabWidget(this);
    m_view = new QChartView(new QChart, m_pages);
    m_view->setRenderHint(QPainter::Antialiasing);
    m_historyView = new QChartView(new QChart, m_pages);
    m_historyView->setRenderHint(QPainter::Antialiasing);
    m_historyView->setObjectName(QStringLiteral("历史"));
    m_pages->addTab(m_view, QStringLiteral("趋势"));
    m_pages->addTab(m_historyView, QStringLiteral("历史"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pages);
}

void TrendChartDialog::ShowSeries(const QString& keyword, const app::SeriesValues& values,
                                  QDate yesterday) {
    setWindowTitle(keyword.isEmpty() ? QStringLiteral("指数趋势")
                                     : QStringLiteral("指数趋势 - %1").arg(keyword));
    QChart* old = m_view->chart();
    m_view->setChart(BuildChart(keyword, values, yesterday));
    delete old;  // the view lets go of a replaced chart without deleting it
}

QChart* TrendChartDialog::Chart() const {
    return m_view->chart();
}

void TrendChartDialog::ShowHistory(const QString& keyword,
                                   const std::vector<app::Observation>& observations) {
    QChart* old = m_historyView->chart();
    m_historyView->setChart(BuildHistoryChart(keyword, observations));
    delete old;
}

QChart* TrendChartDialog::HistoryChart() const {
    return m_historyView->chart();
}

bool ShowTrendChart(QWidget* parent, const runtime::TableData& data, int row) {
    if (row < 0 || row >= data.RowCount()) {
        return false;
    }
    const std::optional<app::SeriesValues> values =
        app::ParseSeriesCell(data.Cell(row, query::kSeriesColumn));
    if (!values) {
        return false;
    }
    auto* dialog = parent->findChild<TrendChartDialog*>(QString(), Qt::FindDirectChildrenOnly);
    if (dialog == nullptr) {
        dialog = new TrendChartDialog(parent);
    }
    const std::string& keyword = data.Cell(row, columns::Index(columns::Column::Keyword));
    dialog->ShowSeries(FromGbk(keyword), *values, QDate::currentDate().addDays(-1));
    dialog->ShowHistory(FromGbk(keyword), KeywordHistory(keyword));
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return true;
}

}  // namespace mofeng::ui
