#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <functional>

#include "net/FetchSettings.h"
#include "query/RowOutcome.h"
#include "ui/GuiFixture.h"
#include "ui/common/FileDialogSettings.h"
#include "ui/common/KeywordListModel.h"
#include "ui/common/LightTheme.h"
#include "ui/common/ReadableFigure.h"
#include "ui/main/IndexQueryController.h"
#include "ui/main/MainWindow.h"
#include "ui/mining/MiningWindow.h"
#include "ui/mining/MiningWindowManager.h"

using namespace mofeng;
using runtime::Row;

namespace {

QStringList Texts(const QList<QAction*>& actions) {
    QStringList texts;
    for (const QAction* action : actions) {
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return texts;
}

using test::AnswerNextFileDialog;

}  // namespace

class MainWindowCommandsTest final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(m_home.isValid());
        test::UseAsHome(m_home);
        QSettings().clear();
        ui::ApplyLightTheme(*qApp);
    }

    void menuBarAndToolBarOfferThePopupMenusActions() {
        test::SimulatedMainWindow f;
        ui::MainWindow& w = *f.window;
        QStringList menus;
        for (QAction* menu : w.MenuBar().actions()) {
            menus << menu->text().remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
        }
        QCOMPARE(menus, QStringList({"文件", "编辑", "查询", "视图", "工具", "帮助"}));
        // The popup's program commands come grouped, undo beside redo.
        const QStringList popup = Texts(w.findChild<QMenu*>(QStringLiteral("菜单"))->actions());
        QCOMPARE(popup.mid(8),
                 QStringList({"-", "撤销", "重做", "添加关键词…", "删除选中行", "删除重复关键词",
                              "-", "打开列表…", "保存列表…", "-", "停止查询", "重试失败行", "-",
                              "筛选…", "七日趋势图", "-", "设置"}));
        // Every popup command is in a menu of the bar: the same action.
        QSet<QAction*> inBar;
        for (QAction* menu : w.MenuBar().actions()) {
            for (QAction* action : menu->menu()->actions()) {
                inBar.insert(action);
            }
        }
        for (QAction* action : w.findChild<QMenu*>(QStringLiteral("菜单"))->actions()) {
            QVERIFY2(action->isSeparator() || inBar.contains(action), qPrintable(action->text()));
        }
        QCOMPARE(Texts(w.ToolBar().actions()),
                 QStringList({"导入关键词", "开始查询指数", "停止查询", "导出选中到表格", "-",
                              "筛选…", "自动淘词"}));
        for (QAction* action : w.ToolBar().actions()) {
            QVERIFY2(action->isSeparator() || !action->icon().isNull(), qPrintable(action->text()));
        }
        const struct {
            QAction* action;
            QKeySequence key;
        } keys[] = {
            {w.Actions().importKeywords, QKeySequence(Qt::CTRL | Qt::Key_O)},
            {w.Actions().saveList, QKeySequence(Qt::CTRL | Qt::Key_S)},
            {w.Actions().exportSelection, QKeySequence(Qt::CTRL | Qt::Key_E)},
            {w.Actions().startQuery, QKeySequence(Qt::Key_F5)},
            {w.Actions().stopQuery, QKeySequence(Qt::SHIFT | Qt::Key_F5)},
            {w.Actions().settings, QKeySequence(Qt::CTRL | Qt::Key_Comma)},
        };
        for (const auto& k : keys) {
            QVERIFY2(k.action->shortcuts().contains(k.key), qPrintable(k.action->text()));
        }
        // F5 in the list starts a run; the content keeps the window definition's size.
        QCOMPARE(w.Content().size(), QSize(904, 468));
        QCOMPARE(w.geometry().topLeft(), QPoint(50, 50));
        w.Model().AppendRows({{"1", "a"}});
        test::MessageAnswerer answerer;  // the completion message
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w.List(), Qt::Key_F5);
        QTRY_VERIFY(w.StatusText().startsWith(QStringLiteral("查询结束")));
        QTRY_COMPARE(w.Tasks().RunningCount(), 0);

        // 设置 with Ctrl+, from the mining window too.
        w.Actions().openMining->trigger();
        QWidget* mining = w.MiningWindows().OpenWindows().front();
        QAction* settings = mining->findChild<QAction*>(QStringLiteral("settings"));
        QVERIFY(settings);
        QVERIFY(settings->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Comma)));
        w.MiningWindows().CloseAll();
        w.Actions().quit->trigger();
        QVERIFY(!w.isVisible());
    }

    void stopEndsARunAtOnceKeepingFinishedRowsAndFreesTheCommands() {
        sim::SimulatorOptions options;
        options.latencyMs = 150;
        test::SimulatedMainWindow f(options);
        ui::MainWindow& w = *f.window;
        test::ShowListTab(w);
        std::vector<Row> rows;
        for (int i = 0; i < 40; ++i) {
            rows.push_back({std::to_string(i + 1), "k" + std::to_string(i)});
        }
        w.Model().AppendRows(std::move(rows));
        const ui::MainWindowActions& a = w.Actions();
        QVERIFY(!a.stopQuery->isEnabled());
        a.startQuery->trigger();
        QVERIFY(a.stopQuery->isEnabled());
        for (QAction* busy : {a.clearList, a.importKeywords, a.openList}) {
            QVERIFY2(!busy->isEnabled(), qPrintable(busy->text()));
        }
        QTRY_VERIFY(w.Query().RowsDone() >= 2);
        // Esc in the list stops it, without a question.
        w.List().setFocus();
        QTest::keyClick(&w.List(), Qt::Key_Escape);
        QVERIFY(!w.Query().IsRunning());
        QVERIFY(w.StatusText().startsWith(QStringLiteral("查询已停止")));
        QVERIFY(!a.stopQuery->isEnabled());
        for (QAction* busy : {a.clearList, a.importKeywords, a.openList}) {
            QVERIFY2(busy->isEnabled(), qPrintable(busy->text()));
        }
        QTRY_COMPARE(w.Tasks().RunningCount(), 0);
        int filled = 0;
        for (int row = 0; row < w.Model().rowCount(); ++row) {
            filled += !w.Model().Data().Cell(row, 2).empty();
        }
        QVERIFY(filled >= 2 && filled < 40);
    }

    void aFailedRequeryShowsTheKeptFiguresAsStale() {
        net::FetchSettings quick;
        quick.retries = 0;
        net::SetFetchSettings(quick);
        test::MessageAnswerer answerer;
        test::SimulatedMainWindow f;
        ui::MainWindow& w = *f.window;
        w.Model().AppendRows({{"1", "dress"}});
        w.Query().StartOrOfferStop();
        QTRY_COMPARE(w.Tasks().RunningCount(), 0);
        const std::string count = w.Model().Data().Cell(0, 2);
        QVERIFY(!count.empty());

        net::EndpointConfig dead = f.context->Endpoints();
        dead.indexBase = "http://127.0.0.1:1";
        f.context->SetEndpoints(dead);
        w.Query().StartOrOfferStop();
        QTRY_COMPARE(w.Tasks().RunningCount(), 0);
        QTRY_COMPARE(w.Model().Data().Cell(0, query::kOutcomeColumn),
                     std::string(query::RowOutcomeText(query::RowOutcome::Failed)));
        QCOMPARE(w.Model().Data().Cell(0, 2), count);
        const QModelIndex cell = w.Model().index(0, 2);
        const QString tip = cell.data(Qt::ToolTipRole).toString();
        QVERIFY2(tip.startsWith(QStringLiteral("查询失败，显示的是 20")), qPrintable(tip));
        QVERIFY(tip.contains(QStringLiteral(" 的数据: ")));
        // Tinted apart from a failed row without figures.
        w.Model().AppendRows({{"2", "never", "", "", "", "", "", "",
                               std::string(query::RowOutcomeText(query::RowOutcome::Failed))}});
        QVERIFY(cell.data(Qt::BackgroundRole).isValid());
        QVERIFY(cell.data(Qt::BackgroundRole) != w.Model().index(1, 2).data(Qt::BackgroundRole));
        net::SetFetchSettings({});
    }

    void figuresReadEasilyWithoutChangingTheStoredText() {
        const QLocale c = QLocale::c();
        const struct {
            const char* stored;
            const char* shown;
        } cases[] = {
            {"4214015", "4,214,015"},
            {"-0.0", "0.0"},
            {"-1234.5", "-1,234.5"},
            {"999", "999"},
            {"0120", "0120"},
            {"236  \xE2\x86\x91", "236  \xE2\x86\x91"},
            {"12345  --", "12,345  --"},
            {"--", "--"},
            {"", ""},
            {"abc", "abc"},
        };
        for (const auto& c2 : cases) {
            QCOMPARE(ui::ReadableFigure(QString::fromUtf8(c2.stored), c),
                     QString::fromUtf8(c2.shown));
        }
        test::SimulatedMainWindow f;
        ui::MainWindow& w = *f.window;
        w.Model().AppendRows({{"1", "12345", "4214015", "", "", "", "270", "-0.0"}});
        QCOMPARE(w.Model().index(0, 1).data().toString(), QStringLiteral("12345"));  // a keyword
        QCOMPARE(w.Model().Data().Cell(0, 7), "-0.0");
        QVERIFY(w.Model().index(0, 2).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                Qt::AlignRight);
        for (int column = 0; column < 8; ++column) {
            QVERIFY(!w.Model().headerData(column, Qt::Horizontal, Qt::ToolTipRole).isNull());
        }
        QVERIFY(w.Model()
                    .headerData(6, Qt::Horizontal, Qt::ToolTipRole)
                    .toString()
                    .contains(QStringLiteral("7天平均指数 ÷ 宝贝数量 × 10000")));
    }

    void rowsWithoutAFigureSortLastAndTheArrowTellsTheTruth() {
        test::SimulatedMainWindow f;
        ui::MainWindow& w = *f.window;
        test::ShowListTab(w);
        w.Model().AppendRows(
            {{"1", "a", "5"}, {"2", "b", ""}, {"3", "c", "9"}, {"4", "d", "inf"}, {"5", "e", "0"}});
        QHeaderView& header = *w.List().horizontalHeader();
        // The rows without a figure ("", "inf") last, in the order the sort gave them.
        auto lastTwo = [&w] {
            QStringList shown = test::ShownColumn(w.List(), 1).mid(3);
            shown.sort();
            return shown;
        };
        w.SortByColumn(2);
        QCOMPARE(test::ShownColumn(w.List(), 1).mid(0, 3), QStringList({"c", "a", "e"}));
        QCOMPARE(lastTwo(), QStringList({"b", "d"}));
        // QHeaderView draws Qt::AscendingOrder pointing down: ▼ for largest first.
        QCOMPARE(header.sortIndicatorSection(), 2);
        QCOMPARE(header.sortIndicatorOrder(), Qt::AscendingOrder);
        w.SortByColumn(2);
        QCOMPARE(test::ShownColumn(w.List(), 1).mid(0, 3), QStringList({"e", "a", "c"}));
        QCOMPARE(lastTwo(), QStringList({"b", "d"}));
        QCOMPARE(header.sortIndicatorOrder(), Qt::DescendingOrder);
        // A change that keeps the order keeps the arrow; one that breaks it removes it.
        w.Model().SetCell(0, 2, "1");
        QTest::qWait(10);
        QCOMPARE(header.sortIndicatorSection(), 2);
        w.Model().SetCell(0, 2, "100");
        QTRY_COMPARE(header.sortIndicatorSection(), -1);
    }

    void exportDialogOpensOnlyInFoldersThatExistAndKeepsTheType() {
        QTemporaryDir folder;
        QSettings().setValue(QStringLiteral("fileDialogs/t/folder"),
                             folder.filePath(QStringLiteral("gone/x.xlsx/nodir")));
        QWidget parent;
        ui::FileDialogSettings dialog(QFileDialog::AcceptSave, QStringLiteral("d"), &parent);
        dialog.Options().nameFilter =
            QStringLiteral("Microsoft Excel（*.xls）(*.xls);;CSV UTF-8（*.csv）(*.csv)");
        dialog.RememberFolder(QStringLiteral("fileDialogs/t/folder"));
        QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (!QFileInfo(documents).isDir()) {
            documents = QDir::homePath();
        }
        QCOMPARE(dialog.StartFolder(), documents);
        dialog.OfferFileName(folder.filePath(QStringLiteral("missing/export1.xlsx")));
        QCOMPARE(dialog.StartFolder(), documents);
        AnswerNextFileDialog([&](QFileDialog& shown) {
            QVERIFY(shown.testOption(QFileDialog::HideNameFilterDetails));
            shown.setDirectory(folder.path());
            shown.selectNameFilter(shown.nameFilters().at(1));
            shown.selectFile(folder.filePath(QStringLiteral("out.csv")));
            static_cast<QDialog&>(shown).accept();
        });
        QVERIFY(dialog.Show(&parent));
        QCOMPARE(dialog.StartFolder(), folder.path());
        // The next program run opens in that folder with that type.
        ui::FileDialogSettings again(QFileDialog::AcceptSave, QStringLiteral("d"), &parent);
        again.Options().nameFilter = dialog.Options().nameFilter;
        again.RememberFolder(QStringLiteral("fileDialogs/t/folder"));
        QString type;
        AnswerNextFileDialog([&](QFileDialog& shown) {
            type = shown.selectedNameFilter();
            shown.reject();
        });
        QVERIFY(!again.Show(&parent));
        QVERIFY2(type.startsWith(QStringLiteral("CSV UTF-8")), qPrintable(type));
        QCOMPARE(again.StartFolder(), folder.path());
    }

    void aFailedSaveSaysWhatAndWhyASuccessfulOneWhere() {
        test::SimulatedMainWindow f;
        ui::MainWindow& w = *f.window;
        test::MessageAnswerer answerer;
        QTemporaryDir folder;
        const QString missing = folder.filePath(QStringLiteral("nodir/list.mofeng"));
        w.ReportSaved(QStringLiteral("列表已保存到"), missing, w.SaveListTo(missing));
        QTRY_COMPARE(answerer.shown.size(), 1);
        QVERIFY2(answerer.shown.front().startsWith(QStringLiteral("无法保存到 ")),
                 qPrintable(answerer.shown.front()));
        QVERIFY(answerer.shown.front().endsWith(QStringLiteral("：目录不存在")));
        const QString good = folder.filePath(QStringLiteral("list.mofeng"));
        w.ReportSaved(QStringLiteral("列表已保存到"), good, w.SaveListTo(good));
        QVERIFY(w.StatusText().contains(QUrl::fromLocalFile(folder.path()).toString()));
    }

private:
    QTemporaryDir m_home;
};

QTEST_MAIN(MainWindowCommandsTest)
#include "MainWindowCommandsTest.moc"
