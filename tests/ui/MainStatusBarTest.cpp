#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>

#include "sim/Simulator.h"
#include "ui/GuiFixture.h"
#include "ui/common/KeywordListModel.h"
#include "ui/main/IndexQueryController.h"
#include "ui/main/MainStatusBar.h"
#include "ui/main/MainWindow.h"
#include "ui/startup/AppContext.h"

using namespace mofeng;

namespace {

QString WriteKeywords(const QTemporaryDir& dir, int count) {
    std::string lines;
    for (int i = 0; i < count; ++i) {
        lines += "k" + std::to_string(i) + "\n";
    }
    const QString path = dir.filePath(QStringLiteral("keywords.txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(lines.data(), static_cast<qint64>(lines.size())) !=
            static_cast<qint64>(lines.size())) {
        qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

struct Fixture {
    explicit Fixture(net::EndpointConfig endpoints = {}) : context(endpoints, {}), window(context) {
        window.show();
        test::ShowListTab(window);
    }
    QLabel* Label(const char* name) { return window.findChild<QLabel*>(QString::fromUtf8(name)); }

    ui::AppContext context;
    ui::MainWindow window;
};

}  // namespace

class MainStatusBarTest final : public QObject {
    Q_OBJECT

private slots:
    void countsFollowRowsAndSelection() {
        Fixture f;
        QLabel* counts = f.Label("标签_行数");
        QVERIFY(counts != nullptr && counts->isVisible());
        QCOMPARE(counts->text(), ui::MainStatusBar::CountsText(0, 0, 0));
        QCOMPARE(counts->text(), QStringLiteral("共 0 行 · 选中 0 行 · 显示 0 行"));

        f.window.Model().AppendRows({{"1", "a"}, {"2", "b"}, {"3", "c"}, {"4", "d"}});
        QTRY_COMPARE(counts->text(), ui::MainStatusBar::CountsText(4, 0, 4));
        for (int row : {1, 3}) {
            f.window.List().selectionModel()->select(
                f.window.Model().index(row, 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        QTRY_COMPARE(counts->text(), ui::MainStatusBar::CountsText(4, 2, 4));
        f.window.DeleteSelectedRows();
        QTRY_COMPARE(counts->text(), ui::MainStatusBar::CountsText(2, 0, 2));
        f.window.Undo();
        QTRY_COMPARE(counts->text(), ui::MainStatusBar::CountsText(4, 0, 4));
        f.window.ClearList();
        QTRY_COMPARE(counts->text(), ui::MainStatusBar::CountsText(0, 0, 0));
    }

    void statusBarSitsUnderTheListAndFollowsIt() {
        Fixture f;
        auto* bar = f.window.findChild<ui::MainStatusBar*>();
        QVERIFY(bar != nullptr);
        for (const QSize size : {QSize(904, 468), QSize(1200, 700)}) {
            mofeng::test::ResizeContent(f.window, size);
            const QRect list = f.window.List().geometry();
            QCOMPARE(bar->geometry().top(), list.bottom() + 1);
            QCOMPARE(bar->geometry().width(), list.width());
            QVERIFY(bar->mapTo(&f.window, QPoint(0, bar->height())).y() <= f.window.height());
        }
        // The message and the progress share the bar's left part.
        QCOMPARE(f.Label("标签_状态行")->parentWidget(), bar);
        QCOMPARE(f.Label("标签_查询进度")->parentWidget(), bar);
    }

    void importSaysHowManyKeywordsItAdded() {
        QTemporaryDir dir;
        const QString path = WriteKeywords(dir, 10000);
        Fixture f;
        f.window.Model().AppendRows({{"9", "before"}});
        f.window.ImportFile(path);
        QTRY_COMPARE(f.window.Tasks().RunningCount(), 0);
        // A finished import task means its rows are in the list.
        const auto& data = f.window.Model().Data();
        QCOMPARE(data.RowCount(), 10001);
        QCOMPARE(data.Cell(1, 0), "1");
        QCOMPARE(data.Cell(10000, 0), "10000");
        QCOMPARE(data.Cell(10000, 1), "k9999");
        QCOMPARE(f.window.StatusText(), QStringLiteral("已导入 10000 个关键词"));
    }

    void closingBeforeTheListTookTheRowsReturnsPromptly() {
        QTemporaryDir dir;
        const QString path = WriteKeywords(dir, 200000);
        auto f = std::make_unique<Fixture>();
        f->window.ImportFile(path);
        // No event loop runs: the worker's batches wait for the UI thread,
        // which never takes them; the close must not wait for that.
        QElapsedTimer timer;
        timer.start();
        QVERIFY(f->window.close());
        QCOMPARE(f->window.Tasks().RunningCount(), 0);
        f.reset();
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    }

    void aStalledServerIsShownCountingUp() {
        sim::SimulatorOptions options;
        options.latencyMs = 5000;
        sim::Simulator simulator(options);
        QVERIFY(simulator.Start());
        Fixture f(test::EndpointsAt(simulator));
        f.window.Model().AppendRows({{"1", "a"}});
        f.window.SetStatusText(QStringLiteral("旧消息"));
        f.window.Query().StartOrOfferStop();
        QLabel* progress = f.Label("标签_查询进度");
        QTRY_VERIFY(progress->isVisible());
        QVERIFY(!f.Label("标签_状态行")->isVisible());  // covered while the run goes on
        QVERIFY(!progress->text().contains(QStringLiteral("等待服务器响应")));
        QTRY_VERIFY_WITH_TIMEOUT(
            progress->text().contains(QStringLiteral("等待服务器响应（3 秒）")), 6000);
        QTRY_VERIFY_WITH_TIMEOUT(
            progress->text().contains(QStringLiteral("等待服务器响应（4 秒）")), 3000);
        QVERIFY(progress->text().startsWith(QStringLiteral("正在查询指数：0/1")));
        f.window.Query().StopRun();
        QTRY_VERIFY(!progress->isVisible());
        QVERIFY(f.Label("标签_状态行")->isVisible());
        QTRY_COMPARE(f.window.Tasks().RunningCount(), 0);
    }

    void waitingTextNamesWholeSeconds() {
        const std::pair<qint64, QString> cases[] = {
            {3001, QStringLiteral("等待服务器响应（3 秒）")},
            {3999, QStringLiteral("等待服务器响应（3 秒）")},
            {61000, QStringLiteral("等待服务器响应（61 秒）")},
        };
        for (const auto& [ms, text] : cases) {
            QCOMPARE(ui::IndexQueryController::WaitingText(ms), text);
        }
    }
};

QTEST_MAIN(MainStatusBarTest)
#include "MainStatusBarTest.moc"
