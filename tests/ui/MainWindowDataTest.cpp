#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "app/SessionStore.h"
#include "query/RowOutcome.h"
#include "runtime/CodePage.h"
#include "ui/GuiFixture.h"
#include "ui/app/SessionStartup.h"
#include "ui/common/KeywordListModel.h"
#include "ui/common/SessionKeeper.h"
#include "ui/main/MainWindow.h"
#include "ui/startup/AppContext.h"

using namespace mofeng;
using Row = runtime::Row;

namespace {

using test::MessageAnswerer;

std::vector<Row> RowsOf(ui::KeywordListModel& model) {
    std::vector<Row> rows;
    const runtime::TableData& data = model.Data();
    for (int r = 0; r < data.RowCount(); ++r) {
        Row row;
        for (int c = 0; c < data.ColumnCount(); ++c) {
            row.push_back(data.Cell(r, c));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

Row MainRow(const std::string& number, const std::string& keyword) {
    return {number, keyword, "5", "1", "2", "  --", "3", "0.5"};
}

std::filesystem::path SessionFile() {
    return std::filesystem::path(ui::SessionDatabasePath().toStdString());
}

}  // namespace

class MainWindowDataTest final : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(m_data.isValid());
        test::UseAsHome(m_data);
        std::filesystem::remove_all(SessionFile().parent_path());
        QSettings().remove(QLatin1String(ui::kRestoreSessionKey));
    }

    void clearCanBeUndoneByKeyAndMenu() {
        ui::AppContext context({}, {});
        ui::MainWindow window(context);
        window.Model().AppendRows({MainRow("1", "a"), MainRow("2", "b")});
        const std::vector<Row> before = RowsOf(window.Model());
        window.MenuAction(QStringLiteral("清空数据"))->trigger();
        QCOMPARE(window.Model().rowCount(), 0);
        QTest::keyClick(&window.List(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(RowsOf(window.Model()) == before);

        window.MenuAction(QStringLiteral("清空数据"))->trigger();
        window.Model().AppendRows({MainRow("1", "new")});
        window.MenuAction(QStringLiteral("撤销"))->trigger();
        QCOMPARE(window.Model().rowCount(), 3);  // the cleared rows come back where they were
        QCOMPARE(window.Model().Data().Cell(2, 1), "new");
        window.MenuAction(QStringLiteral("撤销"))->trigger();  // nothing left to undo
        QCOMPARE(window.Model().rowCount(), 3);
    }

    void copyAndPasteRoundTrip() {
        ui::AppContext context({}, {});
        ui::MainWindow window(context);
        window.show();
        window.Model().AppendRows(
            {MainRow("1", runtime::Utf8ToGbk("连衣裙")), MainRow("2", "a\tb"), MainRow("3", "c")});
        QTest::keyClick(&window.List(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(window.SelectedRows(), (std::vector<int>{0, 1, 2}));
        QTest::keyClick(&window.List(), Qt::Key_C, Qt::ControlModifier);
        const QString copied = QGuiApplication::clipboard()->text();
        QVERIFY(copied.startsWith(QStringLiteral("序号\t关键词\t宝贝数量")));
        QVERIFY(copied.contains(QStringLiteral("1\t连衣裙\t5\t1\t2\t  --\t3\t0.5\r\n")));

        window.ClearList();
        QTest::keyClick(&window.List(), Qt::Key_V, Qt::ControlModifier);
        const std::vector<Row> pasted = RowsOf(window.Model());
        QCOMPARE(pasted.size(), std::size_t{3});
        QCOMPARE(pasted[0][0], std::string("1"));
        QCOMPARE(pasted[0][1], runtime::Utf8ToGbk("连衣裙"));
        QCOMPARE(pasted[1][1], std::string("a\tb"));
        QCOMPARE(pasted[2][0], std::string("3"));
        QCOMPARE(pasted[2][2], std::string());  // only the keyword comes in
    }

    void importOfAFifoSaysWhyWithoutBlocking() {
        MessageAnswerer answerer;
        ui::AppContext context({}, {});
        ui::MainWindow window(context);
        const QString fifo = m_data.filePath(QStringLiteral("k.fifo"));
        QVERIFY(::mkfifo(fifo.toUtf8().constData(), 0600) == 0);
        window.ImportFile(fifo);
        QTRY_COMPARE(answerer.shown.size(), qsizetype{1});
        QCOMPARE(answerer.shown[0], QStringLiteral("不是普通文件，无法导入"));
        QTRY_COMPARE(window.Tasks().RunningCount(), 0);
        QCOMPARE(window.Model().rowCount(), 0);
        QVERIFY(!window.ExportSelectedTo(fifo));  // nor is it written to
    }

    void listFileSavesAndOpensEveryCell() {
        ui::AppContext context({}, {});
        ui::MainWindow window(context);
        window.Model().AppendRows({MainRow("1", "a"), MainRow("2", "b")});
        const QString path = m_data.filePath(QStringLiteral("mine.mofeng"));
        QVERIFY(window.SaveListTo(path));
        window.OpenListFrom(path);
        const std::vector<Row> rows = RowsOf(window.Model());
        QCOMPARE(rows.size(), std::size_t{4});
        QVERIFY(rows[2] == rows[0] && rows[3] == rows[1]);
        QVERIFY(!window.OpenListFrom(m_data.filePath(QStringLiteral("missing.mofeng"))));
    }

    void sessionRestoresListsAtStartAndCanBeTurnedOff() {
        {
            ui::AppContext context({}, {});
            ui::MainWindow window(context);
            ui::StartSession(window);
            QVERIFY(window.StatusText().isEmpty());
            window.Model().AppendRows({MainRow("1", "a"), MainRow("2", "b")});
            ui::KeywordListModel mining({{"n", 55}, {"k", 160}});
            mining.AppendRows({{"1", "m"}});
            window.AdoptMiningList(mining);
            window.ClearList();
            window.Undo();  // the session follows the undo too
            window.Session()->FlushNow();
        }
        {
            ui::AppContext context({}, {});
            ui::MainWindow window(context);
            ui::StartSession(window);
            QCOMPARE(window.Model().rowCount(), 2);
            // Each list counted on its own.
            QCOMPARE(window.StatusText(),
                     QStringLiteral("已恢复上次的数据：主列表 2 行，淘词列表 1 行"));
            ui::KeywordListModel mining({{"n", 55}, {"k", 160}});
            window.AdoptMiningList(mining);
            QCOMPARE(mining.rowCount(), 1);
        }
        QSettings().setValue(QLatin1String(ui::kRestoreSessionKey), false);
        ui::AppContext context({}, {});
        ui::MainWindow window(context);
        ui::StartSession(window);
        QCOMPARE(window.Model().rowCount(), 0);
    }

    void corruptSessionIsMovedAsideAndTheProgramStartsEmpty() {
        std::filesystem::create_directories(SessionFile().parent_path());
        std::ofstream(SessionFile(), std::ios::binary) << std::string("SQLite format 3\0torn", 20);
        ui::AppContext context({}, {});
        ui::MainWindow window(context);
        ui::StartSession(window);
        QCOMPARE(window.Model().rowCount(), 0);
        QVERIFY(window.StatusText().contains(QStringLiteral("已损坏")));
        QVERIFY(std::filesystem::exists(SessionFile().string() + ".broken"));
    }

    void killedMidRunLosesAtMostTheLastSecond() {
        QProcess child;
        child.setProgram(QCoreApplication::applicationDirPath() +
                         QStringLiteral("/session_crash_child"));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(environment);
        child.start();
        QVERIFY(child.waitForStarted());
        int added = 0;
        QElapsedTimer running;
        running.start();
        // Lets it run for well over a second of results, then kills it.
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                while (child.canReadLine()) {
                    added = child.readLine().trimmed().toInt();
                }
                return added >= 300 && running.elapsed() > 2000;
            }(),
            60000);
        const double perSecond = added * 1000.0 / static_cast<double>(running.elapsed());
        child.kill();  // SIGKILL
        QVERIFY(child.waitForFinished());
        while (child.canReadLine()) {
            added = std::max(added, child.readLine().trimmed().toInt());
        }

        app::SessionStore::Opened opened{};
        auto store = app::SessionStore::OpenSession(SessionFile(), opened);
        QVERIFY(store);
        QCOMPARE(opened, app::SessionStore::Opened::Existing);
        const std::vector<Row> rows = store->LoadList(app::kSessionMainList);
        qInfo("added %d rows (%.0f/s), %zu kept", added, perSecond, rows.size());
        QVERIFY(static_cast<double>(rows.size()) >= added - perSecond);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            // every cell of the row, the stored outcome cells too
            QCOMPARE(rows[i].size(), std::size_t{query::kStoredColumnCount});
            QCOMPARE(rows[i][1], "kw" + std::to_string(i + 1));
        }
    }

private:
    QTemporaryDir m_data;
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("mofeng-session-test"));
    MainWindowDataTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MainWindowDataTest.moc"
