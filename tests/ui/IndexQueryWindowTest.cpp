#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "query/IndexMetrics.h"
#include "runtime/CodePage.h"
#include "runtime/NumberOps.h"
#include "sim/Simulator.h"
#include "ui/GuiFixture.h"
#include "ui/common/KeywordListModel.h"
#include "ui/main/IndexQueryController.h"
#include "ui/main/MainWindow.h"
#include "ui/startup/AppContext.h"

using namespace mofeng;

namespace {

const char* const kWords[] = {"连衣裙", "衬衫", "牛仔裤", "凉鞋",   "双肩包", "口红", "手机壳",
                              "保温杯", "毛衣", "耳机",   "雪纺裙", "风衣",   "短裤", "帆布鞋",
                              "钱包",   "面膜", "数据线", "水杯",   "卫衣",   "音箱"};
constexpr int kRows = 20;

using test::FindBox;

const QString kDoneText = QStringLiteral("数据查询完毕");

// A main window over a simulator, with the keyword file imported.
class Fixture : public test::SimulatedMainWindow {
public:
    explicit Fixture(sim::SimulatorOptions options = {}) : SimulatedMainWindow(options) {
        test::ShowListTab(*window);
        const QString path = test::WriteGbkKeywordFile(
            folder, std::vector<std::string>(std::begin(kWords), std::end(kWords)));
        QVERIFY(!path.isEmpty());
        window->ImportFile(path);
        QTRY_COMPARE(window->Model().rowCount(), kRows);
    }

    ui::IndexQueryController& Controller() { return window->Query(); }
    void ChooseStartQuery() { window->MenuAction(QStringLiteral("开始查询指数"))->trigger(); }

    void ClickHeader(int column) {
        QHeaderView* header = window->List().horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, 5));
    }

    // Columns 2 to 7 of a row as the simulator's data says they must read.
    std::vector<std::string> Expected(const std::string& gbkKeyword) const {
        const std::string keyword = runtime::GbkToUtf8(gbkKeyword);
        query::TrendSeries series;
        if (const auto values = simulator.ExpectedSeries(keyword)) {
            for (std::size_t k = 0; k < 7; ++k) {
                series.values[k] = std::to_string((*values)[k]);
            }
        }
        const auto count =
            runtime::TruncateToInt32(static_cast<double>(simulator.ExpectedListingCount(keyword)));
        const query::IndexMetrics m = query::ComputeIndexMetrics(series, count);
        return {runtime::ToText(static_cast<int>(count)),
                m.yesterday,
                m.average,
                m.trend,
                m.competition,
                m.slope};
    }

    std::vector<std::string> Metrics(int row) const {
        std::vector<std::string> cells;
        for (int column = 2; column < 8; ++column) {
            cells.push_back(window->Model().Data().Cell(row, column));
        }
        return cells;
    }

    // Every row holds its own keyword's figures.
    void VerifyEveryRow() const {
        for (int row = 0; row < window->Model().rowCount(); ++row) {
            const std::string keyword = window->Model().Data().Cell(row, 1);
            QCOMPARE(Metrics(row), Expected(keyword));
        }
    }

    int FilledRows() const {
        int filled = 0;
        for (int row = 0; row < window->Model().rowCount(); ++row) {
            filled += !window->Model().Data().Cell(row, 2).empty();
        }
        return filled;
    }

    QTemporaryDir folder;
};

sim::SimulatorOptions Slow() {
    sim::SimulatorOptions options;
    options.latencyMs = 50;
    return options;
}

}  // namespace

class IndexQueryWindowTest final : public QObject {
    Q_OBJECT

private slots:
    void FillsTheListAndReportsWhenDone() {
        Fixture f;
        f.ChooseStartQuery();
        QTRY_VERIFY_WITH_TIMEOUT(FindBox(kDoneText) != nullptr, 30000);
        QMessageBox* done = FindBox(kDoneText);
        QCOMPARE(done->windowTitle(), QStringLiteral("信息："));
        QCOMPARE(f.simulator.RequestCount(), static_cast<std::uint64_t>(2 * kRows));
        f.VerifyEveryRow();
        done->button(QMessageBox::Ok)->click();
        QTRY_COMPARE(f.window->Tasks().RunningCount(), 0);
    }

    void SortingDuringARunKeepsEveryRowsOwnFigures() {
        Fixture f(Slow());
        f.ChooseStartQuery();
        auto* status = f.window->findChild<QLabel*>(QStringLiteral("标签_查询进度"));
        QVERIFY(status != nullptr);
        QTRY_VERIFY(status->isVisible() && status->text().contains(QStringLiteral("/20")));
        for (const auto& [afterRows, column] : {std::pair{3, 2}, {8, 4}, {13, 0}, {16, 7}}) {
            QTRY_VERIFY_WITH_TIMEOUT(f.Controller().RowsDone() >= afterRows, 30000);
            f.ClickHeader(column);
        }
        QTRY_VERIFY_WITH_TIMEOUT(FindBox(kDoneText) != nullptr, 30000);
        QTRY_VERIFY(!status->isVisible());
        f.VerifyEveryRow();
        FindBox(kDoneText)->button(QMessageBox::Ok)->click();
    }

    void SecondStartOffersToStopTheRun() {
        Fixture f(Slow());
        f.ChooseStartQuery();
        QTRY_VERIFY_WITH_TIMEOUT(f.Controller().RowsDone() >= 2, 30000);

        // "No" lets the run go on.
        f.ChooseStartQuery();
        QTRY_VERIFY(FindBox(QStringLiteral("/20")) != nullptr);
        QMessageBox* question = FindBox(QStringLiteral("/20"));
        QCOMPARE(question->windowTitle(), QStringLiteral("信息："));
        question->button(QMessageBox::No)->click();
        QVERIFY(f.Controller().IsRunning());
        const int doneBefore = f.Controller().RowsDone();
        QTRY_VERIFY(f.Controller().RowsDone() > doneBefore);

        // "Yes" stops it: no further rows, no completion message.
        f.ChooseStartQuery();
        QTRY_VERIFY(FindBox(QStringLiteral("/20")) != nullptr);
        FindBox(QStringLiteral("/20"))->button(QMessageBox::Yes)->click();
        QVERIFY(!f.Controller().IsRunning());
        QTRY_COMPARE(f.window->Tasks().RunningCount(), 0);
        QVERIFY(FindBox(kDoneText) == nullptr);
        QVERIFY(f.FilledRows() < kRows);
        QVERIFY(f.simulator.RequestCount() < static_cast<std::uint64_t>(2 * kRows));

        // A start chosen right after a stop waits for the stopped run's
        // worker: the two never run side by side.
        QTRY_COMPARE(f.Controller().RowsTotal(), 0);  // the stopped run is gone
        f.ChooseStartQuery();
        QTRY_VERIFY_WITH_TIMEOUT(f.Controller().RowsDone() >= 1, 30000);
        f.ChooseStartQuery();
        QTRY_VERIFY(FindBox(QStringLiteral("/20")) != nullptr);
        FindBox(QStringLiteral("/20"))->button(QMessageBox::Yes)->click();
        f.ChooseStartQuery();
        QVERIFY(f.window->Tasks().RunningCount() <= 1);
        QTRY_VERIFY_WITH_TIMEOUT(FindBox(kDoneText) != nullptr, 30000);
        f.VerifyEveryRow();
        FindBox(kDoneText)->accept();
    }

    void ClosingTheWindowStopsAStalledRun() {
        sim::SimulatorOptions options;
        options.stallRate = 1.0;
        for (const bool closeFirst : {true, false}) {
            Fixture f(options);
            f.ChooseStartQuery();
            QTRY_VERIFY(f.simulator.RequestCount() >= 1);  // the first fetch hangs

            QElapsedTimer clock;
            clock.start();
            if (closeFirst) {
                f.window->close();
            }
            f.window.reset();
            const qint64 elapsed = clock.elapsed();
            qInfo("%s the window during a stalled run took %lld ms",
                  closeFirst ? "closing" : "destroying", elapsed);
            QVERIFY2(elapsed < 5000, qPrintable(QString::number(elapsed)));
            QCOMPARE(f.simulator.RequestCount(), static_cast<std::uint64_t>(1));
        }
    }

    void ParallelRunFillsEveryRowAsOneJobDoesThroughSorts() {
        Fixture f(Slow());
        f.context->SetJobs(8);
        f.ChooseStartQuery();
        for (const auto& [afterRows, column] : {std::pair{3, 2}, {9, 5}, {14, 1}}) {
            QTRY_VERIFY_WITH_TIMEOUT(f.Controller().RowsDone() >= afterRows, 30000);
            f.ClickHeader(column);
        }
        QTRY_VERIFY_WITH_TIMEOUT(FindBox(kDoneText) != nullptr, 30000);
        QCOMPARE(f.simulator.RequestCount(), static_cast<std::uint64_t>(2 * kRows));
        f.VerifyEveryRow();
        FindBox(kDoneText)->accept();
    }

    void WorkersNeverWaitForTheUiThread() {
        Fixture f(Slow());
        f.context->SetJobs(8);
        f.ChooseStartQuery();
        // The UI thread serves no events now: a worker waiting for it would
        // never finish its rows.
        QElapsedTimer clock;
        clock.start();
        while (f.Controller().RowsDone() < kRows && clock.elapsed() < 30000) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        QCOMPARE(f.Controller().RowsDone(), kRows);
        QCOMPARE(f.FilledRows(), 0);  // the results wait for the UI thread
        QTRY_COMPARE(f.FilledRows(), kRows);
        f.VerifyEveryRow();
        QTRY_VERIFY_WITH_TIMEOUT(FindBox(kDoneText) != nullptr, 30000);
        FindBox(kDoneText)->accept();
    }

    void TheUiThreadIsNotHeldUpDuringAParallelRun() {
        sim::SimulatorOptions options;  // no latency: results arrive as fast as they can
        Fixture f(options);
        std::vector<runtime::Row> rows;
        for (int i = 0; i < 3000; ++i) {
            rows.push_back(
                {std::to_string(i + 1), runtime::Utf8ToGbk("连衣裙") + std::to_string(i)});
        }
        f.window->Model().AppendRows(std::move(rows));
        f.context->SetJobs(8);
        QElapsedTimer sinceTick;
        qint64 worstGap = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout,
                [&] { worstGap = std::max(worstGap, sinceTick.restart()); });
        ticker.start(10);
        sinceTick.start();
        f.ChooseStartQuery();
        QTRY_VERIFY_WITH_TIMEOUT(FindBox(kDoneText) != nullptr, 60000);
        ticker.stop();
        qInfo("worst gap between 10 ms ticks during the run: %lld ms", worstGap);
        // Lenient: only a UI thread held by the workers comes near it.
        QVERIFY2(worstGap < 500, qPrintable(QString::number(worstGap)));
        f.VerifyEveryRow();
        FindBox(kDoneText)->accept();
    }

    void ClosingTheWindowStopsEveryStalledFetch() {
        sim::SimulatorOptions options;
        options.stallRate = 1.0;
        Fixture f(options);
        f.context->SetJobs(8);
        f.ChooseStartQuery();
        QTRY_VERIFY(f.simulator.RequestCount() >= 8);  // eight fetches hang
        QElapsedTimer clock;
        clock.start();
        f.window->close();
        f.window.reset();
        qInfo("closing the window with 8 stalled fetches took %lld ms", clock.elapsed());
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(f.simulator.RequestCount(), static_cast<std::uint64_t>(8));
    }
};

QTEST_MAIN(IndexQueryWindowTest)
#include "IndexQueryWindowTest.moc"
