// The main window's row outcomes: marks and tooltips, the counts under the
// list, "重试失败行" and the pause after a blocked streak, each driven through
// the real window against the in-process simulator.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QBrush>
#include <QClipboard>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "net/PercentEncode.h"
#include "query/RowOutcome.h"
#include "runtime/CodePage.h"
#include "sim/Simulator.h"
#include "ui/GuiFixture.h"
#include "ui/common/KeywordListModel.h"
#include "ui/main/IndexQueryController.h"
#include "ui/main/MainWindow.h"
#include "ui/startup/AppContext.h"

using namespace mofeng;

namespace {

const QString kDoneText = QStringLiteral("数据查询完毕");

std::string Gbk(const char* utf8) {
    return runtime::Utf8ToGbk(utf8);
}

using test::FindBox;

QAbstractButton* BoxButton(QMessageBox* box, const QString& text) {
    for (QAbstractButton* button : box->buttons()) {
        if (button->text() == text) {
            return button;
        }
    }
    return nullptr;
}

// A row of the main list with its stored cells: keyword, outcome, reason.
runtime::Row StoredRow(int number, const char* keyword, const char* outcome,
                       const char* reason = "") {
    runtime::Row row(query::kStoredColumnCount);
    row[0] = std::to_string(number);
    row[1] = Gbk(keyword);
    if (outcome[0] != '\0') {
        row[2] = "1";  // a figure a healthy fetch wrote
    }
    row[query::kOutcomeColumn] = Gbk(outcome);
    row[query::kReasonColumn] = Gbk(reason);
    return row;
}

class Fixture : public test::SimulatedMainWindow {
public:
    explicit Fixture(sim::SimulatorOptions options = {}) : SimulatedMainWindow(options) {
        test::ShowListTab(*window);
    }

    ui::KeywordListModel& Model() { return window->Model(); }
    QString Outcome(int row) {
        return QString::fromStdString(
            runtime::GbkToUtf8(Model().Data().Cell(row, query::kOutcomeColumn)));
    }
    void Choose(const QString& entry) { window->MenuAction(entry)->trigger(); }
    // The keywords (GBK) the simulator was asked about since the last clear.
    std::multiset<std::string> RequestedKeywords(const std::vector<std::string>& among) {
        std::multiset<std::string> seen;
        for (const sim::RequestRecord& record : simulator.Requests()) {
            for (const std::string& keyword : among) {
                if (record.target.find(net::PercentEncodeUtf8(keyword)) != std::string::npos) {
                    seen.insert(keyword);
                }
            }
        }
        return seen;
    }
};

}  // namespace

class OutcomeWindowTest final : public QObject {
    Q_OBJECT

private slots:
    void ListStoresOutcomeCellsButShowsEightColumns() {
        Fixture f;
        f.Model().AppendRows({StoredRow(1, "连衣裙", "失败", "连接超时，已重试 2 次")});
        QCOMPARE(f.Model().columnCount(), 8);
        QCOMPARE(f.Model().Data().ColumnCount(), query::kStoredColumnCount);
        QCOMPARE(f.window->KeywordTable().ColumnCount(), query::kStoredColumnCount);
        // Ctrl+C copies the eight shown columns only.
        f.window->List().selectAll();
        f.window->CopySelection();
        const QString copied = QApplication::clipboard()->text();
        QVERIFY(!copied.contains(QStringLiteral("失败")));
        QVERIFY(!copied.contains(QStringLiteral("连接超时")));
    }

    void RowsAreMarkedByOutcome_data() {
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("tinted");
        QTest::addColumn<QString>("tooltip");  // empty: the cell's own text
        QTest::newRow("failed") << "失败"
                                << "连接超时，已重试 2 次" << true << "失败：连接超时，已重试 2 次";
        QTest::newRow("blocked") << "被拦截"
                                 << "需要登录" << true << "被拦截：需要登录";
        QTest::newRow("not queried") << "未查询"
                                     << "" << true << "未查询";
        QTest::newRow("normal") << "正常"
                                << "" << false << "";
        QTest::newRow("no data") << "无数据"
                                 << "" << false << "";
        QTest::newRow("never run") << ""
                                   << "" << false << "";
    }

    void RowsAreMarkedByOutcome() {
        QFETCH(QString, outcome);
        QFETCH(QString, reason);
        QFETCH(bool, tinted);
        QFETCH(QString, tooltip);
        Fixture f;
        const std::string outcomeUtf8 = outcome.toStdString();
        const std::string reasonUtf8 = reason.toStdString();
        f.Model().AppendRows({StoredRow(1, "连衣裙", "正常"),
                              StoredRow(2, "衬衫", outcomeUtf8.c_str(), reasonUtf8.c_str())});
        for (int column = 0; column < f.Model().columnCount(); ++column) {
            const QModelIndex cell = f.Model().index(1, column);
            QCOMPARE(f.Model().data(cell, Qt::BackgroundRole).isValid(), tinted);
            const QString expectedTip =
                tooltip.isEmpty() ? f.Model().data(cell).toString() : tooltip;
            QCOMPARE(f.Model().data(cell, Qt::ToolTipRole).toString(), expectedTip);
        }
        QVERIFY(!f.Model().data(f.Model().index(0, 1), Qt::BackgroundRole).isValid());
        if (tinted) {
            // Light enough for the list's dark text.
            const QColor tint =
                f.Model().data(f.Model().index(1, 1), Qt::BackgroundRole).value<QBrush>().color();
            QVERIFY2(tint.lightness() >= 200, qPrintable(tint.name()));
        }
    }

    void OutcomeChangeRepaintsTheWholeRow() {
        Fixture f;
        f.Model().AppendRows({StoredRow(1, "连衣裙", "正常")});
        QSignalSpy changed(&f.Model(), &QAbstractItemModel::dataChanged);
        f.Model().SetCell(0, query::kOutcomeColumn, Gbk("失败"));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0][0].toModelIndex(), f.Model().index(0, 0));
        QCOMPARE(changed[0][1].toModelIndex(), f.Model().index(0, 7));
    }

    void RetryFetchesOnlyTroubledRowsAndCountsOutcomes() {
        Fixture f;
        const std::vector<std::string> keywords = {Gbk("连衣裙"), Gbk("衬衫"), Gbk("牛仔裤"),
                                                   Gbk("凉鞋"), Gbk("口红")};
        f.Model().AppendRows({StoredRow(1, "连衣裙", "正常"), StoredRow(2, "衬衫", "失败", "超时"),
                              StoredRow(3, "牛仔裤", "无数据"), StoredRow(4, "凉鞋", "被拦截"),
                              StoredRow(5, "口红", "未查询")});
        f.Choose(QStringLiteral("重试失败行"));
        QTRY_VERIFY_WITH_TIMEOUT(FindBox(kDoneText) != nullptr, 30000);
        FindBox(kDoneText)->accept();
        QTRY_COMPARE(f.window->Tasks().RunningCount(), 0);

        // Two fetches for each of the three retried rows, none for the others.
        QCOMPARE(f.simulator.RequestCount(), static_cast<std::uint64_t>(6));
        QCOMPARE(f.RequestedKeywords(keywords),
                 (std::multiset<std::string>{keywords[1], keywords[1], keywords[3], keywords[3],
                                             keywords[4], keywords[4]}));
        for (int row : {1, 3, 4}) {
            QVERIFY2(f.Outcome(row) == QStringLiteral("正常") ||
                         f.Outcome(row) == QStringLiteral("无数据"),
                     qPrintable(f.Outcome(row)));
        }
        QCOMPARE(f.Outcome(2), QStringLiteral("无数据"));  // untouched
        QTRY_VERIFY(f.window->StatusText().contains(QStringLiteral("失败 0 · 被拦截 0")));
        QVERIFY(f.window->StatusText().contains(QStringLiteral("正常 ")));

        // Nothing left to retry: no run, no request, the status line says so.
        f.Choose(QStringLiteral("重试失败行"));
        QVERIFY(f.window->StatusText().contains(QStringLiteral("没有需要重试的行")));
        QCOMPARE(f.window->Tasks().RunningCount(), 0);
        QCOMPARE(f.simulator.RequestCount(), static_cast<std::uint64_t>(6));
    }

    // The box of a run that visited every row, shown once its worker has
    // ended: the text alone with the information icon, or with the counts
    // and the warning icon when a row failed or was blocked.
    void DoneBoxSaysWhetherEveryRowWentWell_data() {
        QTest::addColumn<quint64>("blockAfter");
        QTest::addColumn<QString>("counts");  // the second line's end; none when empty
        QTest::addColumn<int>("icon");
        QTest::newRow("healthy") << quint64{0} << QString() << int(QMessageBox::Information);
        // The sixth request, the last row's search page, meets the login page.
        QTest::newRow("last row blocked")
            << quint64{5} << QStringLiteral("失败 0 · 被拦截 1") << int(QMessageBox::Warning);
    }

    void DoneBoxSaysWhetherEveryRowWentWell() {
        QFETCH(quint64, blockAfter);
        QFETCH(QString, counts);
        QFETCH(int, icon);
        sim::SimulatorOptions options;
        options.blockAfter = blockAfter;
        Fixture f(options);
        f.Model().AppendRows(
            {StoredRow(1, "连衣裙", ""), StoredRow(2, "衬衫", ""), StoredRow(3, "牛仔裤", "")});
        f.Choose(QStringLiteral("开始查询指数"));
        QTRY_VERIFY_WITH_TIMEOUT(FindBox(kDoneText) != nullptr, 30000);
        QMessageBox* done = FindBox(kDoneText);
        const QStringList lines = done->text().split(QLatin1Char('\n'));
        QCOMPARE(lines[0], kDoneText);
        QCOMPARE(lines.size(), counts.isEmpty() ? 1 : 2);
        if (!counts.isEmpty()) {
            QVERIFY2(lines[1].startsWith(QStringLiteral("正常 ")) && lines[1].endsWith(counts),
                     qPrintable(lines[1]));
        }
        QCOMPARE(int(done->icon()), icon);
        QCOMPARE(done->windowTitle(), QStringLiteral("信息："));
        // The run has handed back its result: nothing waits for the box.
        QCOMPARE(f.window->Tasks().RunningCount(), 0);
        QVERIFY(!f.window->Query().IsRunning());
        QVERIFY(f.window->StatusText().startsWith(QStringLiteral("查询结束")));
        done->accept();
    }

    // After two healthy rows every request is sent to the login page: three
    // blocked rows in a row pause the run.
    void BlockedStreakPausesTheRun_data() {
        QTest::addColumn<bool>("resumeOnce");
        QTest::newRow("stop at once") << false;
        QTest::newRow("resume, then stop") << true;
    }

    void BlockedStreakPausesTheRun() {
        QFETCH(bool, resumeOnce);
        sim::SimulatorOptions options;
        options.blockAfter = 4;
        Fixture f(options);
        std::vector<runtime::Row> rows;
        const char* const words[] = {"连衣裙", "衬衫", "牛仔裤", "凉鞋", "口红",
                                     "毛衣",   "耳机", "风衣",   "短裤", "钱包"};
        for (int i = 0; i < 10; ++i) {
            rows.push_back(StoredRow(i + 1, words[i], ""));
        }
        f.Model().AppendRows(std::move(rows));
        f.Choose(QStringLiteral("开始查询指数"));

        const QString asks = QStringLiteral("登录或安全验证");
        QTRY_VERIFY_WITH_TIMEOUT(FindBox(asks) != nullptr, 30000);
        QCOMPARE(f.window->Tasks().RunningCount(), 1);  // the worker waits for the answer
        auto* status = f.window->findChild<QLabel*>(QStringLiteral("标签_查询进度"));
        QTRY_VERIFY(status->text().contains(QStringLiteral("被拦截 3")));
        if (resumeOnce) {
            // The run goes on with the next rows (each later blocked reply
            // slows the host down, so only the next request is awaited).
            const std::uint64_t requestsAtPause = f.simulator.RequestCount();
            BoxButton(FindBox(asks), QStringLiteral("继续"))->click();
            QTRY_VERIFY(FindBox(asks) == nullptr);
            QTRY_VERIFY_WITH_TIMEOUT(f.simulator.RequestCount() > requestsAtPause, 30000);
            f.window->Query().StopRun();
        } else {
            BoxButton(FindBox(asks), QStringLiteral("停止"))->click();
        }
        QTRY_COMPARE_WITH_TIMEOUT(f.window->Tasks().RunningCount(), 0, 30000);
        QVERIFY(FindBox(kDoneText) == nullptr);
        QVERIFY(FindBox(asks) == nullptr);
        QTRY_VERIFY2(f.window->StatusText().startsWith(QStringLiteral("查询结束")),
                     qPrintable(f.window->StatusText()));
        if (!resumeOnce) {
            // The rows after the streak are left 未查询.
            QVERIFY2(
                f.window->StatusText().contains(QStringLiteral("失败 0 · 被拦截 3 · 未查询 5")),
                qPrintable(f.window->StatusText()));
            QCOMPARE(f.Outcome(5), QStringLiteral("未查询"));
            QCOMPARE(f.Outcome(4), QStringLiteral("被拦截"));
        }
    }

    void ClosingTheWindowReleasesAPausedRun() {
        sim::SimulatorOptions options;
        options.blockAfter = 1;
        Fixture f(options);
        f.Model().AppendRows({StoredRow(1, "连衣裙", ""), StoredRow(2, "衬衫", ""),
                              StoredRow(3, "牛仔裤", ""), StoredRow(4, "凉鞋", "")});
        f.Choose(QStringLiteral("开始查询指数"));
        QTRY_VERIFY_WITH_TIMEOUT(FindBox(QStringLiteral("登录或安全验证")) != nullptr, 30000);
        f.window->close();  // answers 停止, so the worker can be joined
        f.window.reset();
        QVERIFY(FindBox(QStringLiteral("登录或安全验证")) == nullptr);
    }
};

QTEST_MAIN(OutcomeWindowTest)
#include "OutcomeWindowTest.moc"
