#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QBarCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QMessageBox>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/CellDisplayText.h"
#include "app/SessionStore.h"
#include "query/IndexMetrics.h"
#include "query/RowOutcome.h"
#include "runtime/CodePage.h"
#include "sim/Simulator.h"
#include "ui/GuiFixture.h"
#include "ui/app/SessionStartup.h"
#include "ui/common/KeywordListModel.h"
#include "ui/common/SessionDatabaseFile.h"
#include "ui/common/SessionKeeper.h"
#include "ui/main/IndexQueryController.h"
#include "ui/main/MainWindow.h"
#include "ui/main/TrendChartDialog.h"
#include "ui/main/TrendSparklineDelegate.h"
#include "ui/startup/AppContext.h"

using namespace mofeng;
using Row = runtime::Row;

namespace {

constexpr int kTrendColumn = 5;
constexpr int kCompetitionColumn = 6;
constexpr int kSlopeColumn = 7;
const QColor kLineColor(0xc8, 0x55, 0x3d);

// A keyword-list row with all eleven stored cells.
Row StoredRow(const std::string& number, const std::string& keyword, const std::string& trend,
              const std::string& competition, const std::string& slope, const std::string& series) {
    return {number, keyword, "5000", "177", "135", trend, competition, slope, "", "", series};
}

const std::string kRising = "100,110,121,133,146,161,177";

using test::MessageAnswerer;

int LineColoredPixels(const QImage& image, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            count += std::abs(pixel.red() - kLineColor.red()) < 40 &&
                     std::abs(pixel.green() - kLineColor.green()) < 40 &&
                     std::abs(pixel.blue() - kLineColor.blue()) < 40;
        }
    }
    return count;
}

ui::TrendChartDialog* OpenChart(ui::MainWindow& window) {
    auto* dialog = window.findChild<ui::TrendChartDialog*>();
    return dialog != nullptr && dialog->isVisible() ? dialog : nullptr;
}

std::vector<double> YValues(const QLineSeries* series) {
    std::vector<double> values;
    for (const QPointF& point : series->points()) {
        values.push_back(point.y());
    }
    return values;
}

// A view acts on a double-click only after the press that began it.
void DoubleClick(QTableView& list, QPoint point) {
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, point);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, point);
}

}  // namespace

class TrendCellsTest final : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(m_data.isValid());
        test::UseAsHome(m_data);
        std::filesystem::remove_all(
            std::filesystem::path(ui::SessionDatabasePath().toStdString()).parent_path());
        m_context = std::make_unique<ui::AppContext>(net::EndpointConfig{}, ui::WebPages{});
        m_window = std::make_unique<ui::MainWindow>(*m_context);
        test::ShowListTab(*m_window);
    }
    void cleanup() {
        m_window.reset();
        m_context.reset();
    }

    void nonFiniteFiguresShowAsTwoHyphens_data() {
        QTest::addColumn<QString>("stored");
        for (const char* text : {"inf", "-inf", "nan", "-nan"}) {
            QTest::newRow(text) << QString::fromLatin1(text);
        }
    }
    void nonFiniteFiguresShowAsTwoHyphens() {
        QFETCH(QString, stored);
        const std::string text = stored.toStdString();
        m_window->Model().AppendRows({StoredRow("1", text, "0  --", text, text, ""),
                                      StoredRow("2", "b", "42  \xA1\xFC", "270", "0.5", "")});
        const QAbstractItemModel* shown = m_window->List().model();
        QCOMPARE(shown->index(0, kCompetitionColumn).data().toString(), QStringLiteral("--"));
        QCOMPARE(shown->index(0, kSlopeColumn).data().toString(), QStringLiteral("--"));
        QCOMPARE(shown->index(0, 1).data().toString(), stored);  // a keyword stays a keyword
        QCOMPARE(shown->index(1, kCompetitionColumn).data().toString(), QStringLiteral("270"));
        QCOMPARE(shown->index(1, kSlopeColumn).data().toString(), QStringLiteral("0.5"));
        // The stored text stays for the sort and the session.
        QCOMPARE(m_window->Model().Data().Cell(0, kSlopeColumn), text);

        m_window->show();
        m_window->List().selectAll();
        m_window->CopySelection();
        const QString copied = QGuiApplication::clipboard()->text();
        QVERIFY2(copied.contains(stored + QStringLiteral("\t5000\t177\t135\t0  --\t--\t--\r\n")),
                 qPrintable(copied));
    }

    void sparklineDrawsBesideTheTextOnlyForRowsWithASeries() {
        m_window->Model().AppendRows({StoredRow("1", "a", "42  \xA1\xFC", "270", "0.5", kRising),
                                      StoredRow("2", "b", "0  --", "0", "-nan", ""),
                                      StoredRow("3", "c", "1  \xA1\xFC", "1", "0.0", "1,2,3")});
        m_window->show();
        QTableView& list = m_window->List();
        const QImage image = list.viewport()->grab().toImage();
        const auto cellRight = [&](int row) {
            const QRect cell = list.visualRect(list.model()->index(row, kTrendColumn));
            return QRect(cell.center().x(), cell.top(), cell.width() / 2, cell.height())
                .intersected(image.rect());
        };
        QVERIFY(LineColoredPixels(image, cellRight(0)) > 10);
        QCOMPARE(LineColoredPixels(image, cellRight(1)), 0);  // no series
        QCOMPARE(LineColoredPixels(image, cellRight(2)), 0);  // not seven values

        // A selected row draws the line in the selection's text colour.
        list.selectRow(0);
        const QImage selected = list.viewport()->grab().toImage();
        QCOMPARE(LineColoredPixels(selected, cellRight(0)), 0);
        const QColor text = list.palette().color(QPalette::Active, QPalette::HighlightedText);
        int textPixels = 0;
        const QRect area = cellRight(0);
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                textPixels += selected.pixelColor(x, y) == text;
            }
        }
        QVERIFY(textPixels > 3);
    }

    void sparklineGeometry() {
        using D = ui::TrendSparklineDelegate;
        const QRect cell(100, 20, 100, 24);
        const QRect beside = D::LineRect(cell, 30);
        QCOMPARE(beside.width(), D::kMaxWidth);
        QCOMPARE(beside.right(), cell.right() - 4);
        QVERIFY(beside.left() >= cell.left() + 30);  // never over the text
        QVERIFY(D::LineRect(QRect(0, 0, 60, 24), 30).isEmpty());
        QCOMPARE(D::LineRect(QRect(0, 0, 80, 24), 30).width(), 80 - 4 - 30 - 6 - 4);

        const QRectF area(0, 0, 60, 10);
        const QPolygonF rising = D::LinePoints({100, 110, 121, 133, 146, 161, 177}, area);
        QCOMPARE(rising.size(), 7);
        QCOMPARE(rising.front(), QPointF(0, 10));  // lowest, oldest: bottom left
        QCOMPARE(rising.back(), QPointF(60, 0));   // highest, yesterday: top right
        const QPolygonF flat = D::LinePoints({50, 50, 50, 50, 50, 50, 50}, area);
        for (const QPointF& point : flat) {
            QCOMPARE(point.y(), 5.0);
        }
    }

    void chartOpensForARowWithASeriesOnDoubleClickAndCtrlT() {
        m_window->Model().AppendRows(
            {StoredRow("1", runtime::Utf8ToGbk("连衣裙"), "42  \xA1\xFC", "270", "0.5", kRising),
             StoredRow("2", "b", "0  --", "0", "-nan", ""),
             StoredRow("3", "c", "236  \xA1\xFC", "287568", "0.1",
                       "1000,1200,900,1100,1000,950,1300")});
        m_window->show();
        QTableView& list = m_window->List();

        // A row without a series opens nothing and says so.
        const QRect noSeries = list.visualRect(list.model()->index(1, 1));
        DoubleClick(list, noSeries.center());
        QVERIFY(OpenChart(*m_window) == nullptr);
        QVERIFY(m_window->StatusText().contains(QStringLiteral("没有七日指数")));

        const QRect first = list.visualRect(list.model()->index(0, 1));
        DoubleClick(list, first.center());
        QTRY_VERIFY(OpenChart(*m_window) != nullptr);
        ui::TrendChartDialog* dialog = OpenChart(*m_window);
        QChart* chart = dialog->Chart();
        QCOMPARE(chart->title(), QStringLiteral("连衣裙"));
        const QList<QAbstractSeries*> series = chart->series();
        const auto* days = qobject_cast<QLineSeries*>(series[0]);
        const auto* average = qobject_cast<QLineSeries*>(series[1]);
        QVERIFY(days != nullptr && average != nullptr);
        // 133, just under the average 135: its label moves below the point,
        // carried by a series of its own, so it does not cover the line.
        QCOMPARE(series.size(), 3);
        const auto* moved = qobject_cast<QXYSeries*>(series[2]);
        QCOMPARE(moved->pointLabelsFormat(), QStringLiteral("133"));
        QVERIFY(moved->at(0).y() < 133);
        QCOMPARE(days->pointConfiguration(3).value(QXYSeries::PointConfiguration::LabelVisibility),
                 QVariant(false));
        QCOMPARE(YValues(days), (std::vector<double>{100, 110, 121, 133, 146, 161, 177}));
        QCOMPARE(YValues(average), (std::vector<double>{135, 135}));  // as 7天平均指数 reads
        QVERIFY(average->name().contains(QStringLiteral("135")));
        const auto axes = chart->axes(Qt::Horizontal);
        QCOMPARE(axes.size(), 1);
        auto* dayAxis = qobject_cast<QBarCategoryAxis*>(axes[0]);
        QVERIFY(dayAxis != nullptr);
        QCOMPARE(dayAxis->categories(), ui::TrendDayLabels(QDate::currentDate().addDays(-1)));

        // Ctrl+T in the main window shows its current row in the same dialog.
        QApplication::setActiveWindow(m_window.get());
        QTRY_VERIFY(m_window->isActiveWindow());
        list.setCurrentIndex(list.model()->index(2, 0));
        QTest::keyClick(&list, Qt::Key_T, Qt::ControlModifier);
        QTRY_COMPARE(dialog->Chart()->title(), QStringLiteral("c"));
        QCOMPARE(m_window->findChildren<ui::TrendChartDialog*>().size(), 1);
        QCOMPARE(YValues(qobject_cast<QLineSeries*>(dialog->Chart()->series()[1])),
                 (std::vector<double>{1064, 1064}));
        QVERIFY(m_window->Actions().showTrendChart->shortcut() ==
                QKeySequence(QStringLiteral("Ctrl+T")));
    }

    // Three observed days with a gap between the second and the third, read
    // from the session's history by Ctrl+T: the 历史 page draws them on a date
    // axis, and no line crosses the day nothing was observed.
    void historyPageShowsThreeObservedDaysWithTheirGap() {
        const std::string keyword = runtime::Utf8ToGbk("连衣裙");
        {
            const std::filesystem::path path = ui::SessionDatabaseFilePath();
            std::filesystem::create_directories(path.parent_path());
            app::SessionStore::Opened opened{};
            auto store = app::SessionStore::OpenSession(path, opened);
            QVERIFY(store != nullptr);
            app::SessionBatch batch;
            const std::pair<const char*, const char*> days[] = {
                {"2026-12-01", "5000"}, {"2026-12-02", "5600"}, {"2026-12-04", "5300"}};
            for (const auto& [day, count] : days) {
                batch.observations.push_back(
                    {keyword, day, {count, "177", "135", "", "", ""}, "", kRising, "", {}});
            }
            QVERIFY(store->Apply(batch));
        }
        m_window->Model().AppendRows(
            {StoredRow("1", keyword, "42  \xA1\xFC", "270", "0.5", kRising)});
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        QTRY_VERIFY(m_window->isActiveWindow());
        QTableView& list = m_window->List();
        list.setCurrentIndex(list.model()->index(0, 1));
        QTest::keyClick(&list, Qt::Key_T, Qt::ControlModifier);
        QTRY_VERIFY(OpenChart(*m_window) != nullptr);
        ui::TrendChartDialog* dialog = OpenChart(*m_window);
        dialog->Pages()->setCurrentIndex(1);
        QCOMPARE(dialog->Pages()->tabText(1), QStringLiteral("历史"));

        QChart* chart = dialog->HistoryChart();
        QCOMPARE(chart->title(), QStringLiteral("连衣裙：3 个记录日"));
        const auto axes = chart->axes(Qt::Horizontal);
        QCOMPARE(axes.size(), 1);
        auto* dateAxis = qobject_cast<QDateTimeAxis*>(axes[0]);
        QVERIFY(dateAxis != nullptr);
        QVERIFY(dateAxis->min().date() <= QDate(2026, 12, 1));
        QVERIFY(dateAxis->max().date() >= QDate(2026, 12, 4));
        // 宝贝数量: the first two days joined, the last alone.
        std::vector<std::vector<double>> listing;
        QLineSeries* anyListing = nullptr;
        for (QAbstractSeries* series : chart->series()) {
            if (series->name() == QStringLiteral("宝贝数量")) {
                anyListing = qobject_cast<QLineSeries*>(series);
                listing.push_back(YValues(anyListing));
            }
        }
        QCOMPARE(listing, (std::vector<std::vector<double>>{{5000, 5600}, {5300}}));

        // Drawn: the line between the first two days, nothing over the third.
        auto* view = dialog->findChild<QChartView*>(QStringLiteral("历史"));
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        const QImage image = view->grab().toImage();
        const auto columnAt = [&](QDate day, int hour) {
            const double at =
                static_cast<double>(QDateTime(day, QTime(hour, 0)).toMSecsSinceEpoch());
            const int x = qRound(chart->mapToPosition({at, 5300}, anyListing).x());
            const QRectF plot = chart->plotArea();
            return QRect(x - 1, qRound(plot.top()), 3, qRound(plot.height()));
        };
        QVERIFY(LineColoredPixels(image, columnAt(QDate(2026, 12, 1), 12)) > 0);
        QCOMPARE(LineColoredPixels(image, columnAt(QDate(2026, 12, 3), 0)), 0);
    }

    void dayLabelsEndYesterdayAcrossMonthAndYear_data() {
        QTest::addColumn<QDate>("yesterday");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("within a month")
            << QDate(2026, 5, 20)
            << QStringList{"05-14", "05-15", "05-16", "05-17", "05-18", "05-19", "05-20"};
        QTest::newRow("leap February")
            << QDate(2028, 3, 2)
            << QStringList{"02-25", "02-26", "02-27", "02-28", "02-29", "03-01", "03-02"};
        QTest::newRow("new year") << QDate(2027, 1, 3)
                                  << QStringList{"12-28", "12-29", "12-30", "12-31",
                                                 "01-01", "01-02", "01-03"};
    }
    void dayLabelsEndYesterdayAcrossMonthAndYear() {
        QFETCH(QDate, yesterday);
        QFETCH(QStringList, labels);
        QCOMPARE(ui::TrendDayLabels(yesterday), labels);
    }

    // The series a query stores with each row comes back with the session.
    void sessionRestoreBringsTheSeriesBack() {
        cleanup();
        sim::Simulator simulator;
        QVERIFY(simulator.Start());
        const net::EndpointConfig endpoints = test::EndpointsAt(simulator);
        // Keywords with a series and one without (the simulator leaves some out).
        std::vector<std::string> keywords;
        int withoutSeries = -1;
        for (int i = 0; keywords.size() < 7; ++i) {
            const std::string keyword = "词" + std::to_string(i);
            const bool has = simulator.ExpectedSeries(keyword).has_value();
            if (!has && withoutSeries < 0) {
                withoutSeries = static_cast<int>(keywords.size());
                keywords.push_back(keyword);
            } else if (has && (keywords.size() < 6 || withoutSeries >= 0)) {
                keywords.push_back(keyword);
            }
        }
        std::vector<Row> rows;
        for (std::size_t i = 0; i < keywords.size(); ++i) {
            rows.push_back({std::to_string(i + 1), runtime::Utf8ToGbk(keywords[i])});
        }
        MessageAnswerer answerer;
        std::vector<std::string> stored;
        {
            ui::AppContext context(endpoints, ui::WebPages{});
            ui::MainWindow window(context);
            ui::StartSession(window);
            window.Model().AppendRows(rows);
            window.MenuAction(QStringLiteral("开始查询指数"))->trigger();
            QTRY_VERIFY_WITH_TIMEOUT(!window.Query().IsRunning(), 30000);
            for (std::size_t i = 0; i < keywords.size(); ++i) {
                const std::string cell =
                    window.Model().Data().Cell(static_cast<int>(i), query::kSeriesColumn);
                std::string expected;
                if (const auto values = simulator.ExpectedSeries(keywords[i])) {
                    for (long long value : *values) {
                        expected += (expected.empty() ? "" : ",") + std::to_string(value);
                    }
                }
                QCOMPARE(cell, expected);
                stored.push_back(cell);
            }
            window.Session()->FlushNow();
        }
        ui::AppContext context(endpoints, ui::WebPages{});
        ui::MainWindow window(context);
        ui::StartSession(window);
        QCOMPARE(window.Model().rowCount(), static_cast<int>(keywords.size()));
        for (std::size_t i = 0; i < keywords.size(); ++i) {
            QCOMPARE(window.Model().Data().Cell(static_cast<int>(i), query::kSeriesColumn),
                     stored[i]);
        }
        // And a restored series draws its chart.
        const int first = withoutSeries == 0 ? 1 : 0;
        QVERIFY(ui::ShowTrendChart(&window, window.Model().Data(), first));
        QVERIFY(!ui::ShowTrendChart(&window, window.Model().Data(), withoutSeries));
    }

private:
    QTemporaryDir m_data;
    std::unique_ptr<ui::AppContext> m_context;
    std::unique_ptr<ui::MainWindow> m_window;
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("mofeng-trend-cells-test"));
    TrendCellsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "TrendCellsTest.moc"
