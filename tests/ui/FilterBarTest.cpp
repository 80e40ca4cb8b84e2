#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <string>
#include <vector>

#include "app/OwnXlsDocument.h"
#include "ui/GuiFixture.h"
#include "ui/common/GbkQt.h"
#include "ui/common/KeywordListModel.h"
#include "ui/common/LightTheme.h"
#include "ui/main/FilterBar.h"
#include "ui/main/KeywordFilterProxy.h"
#include "ui/main/MainWindow.h"
#include "ui/startup/AppContext.h"

using mofeng::runtime::Row;
using mofeng::ui::FilterBar;
using mofeng::ui::FromGbk;
using mofeng::ui::MainWindow;
using mofeng::ui::ToGbk;

namespace {

// Down to the status line at the bottom of the window.
const QRect kListAlone(1, 113, 887, 337);

// 序号, 关键词, 宝贝数量, 昨日, 7天平均指数, 趋势, 竞争倍数, 斜率
std::vector<Row> SampleRows() {
    auto row = [](const char* number, const QString& keyword, const char* count,
                  const char* average, const char* multiple) {
        return Row{number, ToGbk(keyword), count, "", average, "", multiple, ""};
    };
    return {
        row("1", QStringLiteral("碎花连衣裙"), "1200", "35.5", "3.2"),
        row("2", QStringLiteral("连衣裙 夏季"), "80", "10", "--"),
        row("3", QStringLiteral("男士衬衫"), "", "", ""),
        row("4", QStringLiteral("“、"), "5", "7", "0.5"),  // GBK A1 B0 A1 A2: 啊 is B0 A1
        row("5", QStringLiteral("雪纺连衣裙"), "300", "1e2", "12"),
    };
}

struct Window {
    Window() : context({}, {}), window(context) {
        window.show();
        mofeng::test::ShowListTab(window);
        window.activateWindow();
    }

    QLineEdit* Field(const char* name) { return window.findChild<QLineEdit*>(QLatin1String(name)); }
    QRect Place(QWidget* control) {
        return {control->mapTo(&window.Content(), QPoint(0, 0)), control->size()};
    }
    // The keywords the list shows, top to bottom.
    QStringList Shown() { return mofeng::test::ShownColumn(window.List(), 1); }
    void PressCtrlF() { QTest::keyClick(&window.List(), Qt::Key_F, Qt::ControlModifier); }

    mofeng::ui::AppContext context;
    MainWindow window;
};

}  // namespace

class FilterBarTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { mofeng::ui::ApplyLightTheme(*qApp); }
    void init() { QSettings().remove(QLatin1String(mofeng::ui::kFilterVisibleKey)); }
    void cleanup() { init(); }

    void ctrlFShowsTheBarAboveTheListAndEscOrCloseHideIt();
    void typingFiltersAsYouType_data();
    void typingFiltersAsYouType();
    void commandsActOnTheSelectedRowsShown();
    void rowsAreJudgedAgainWhenTheirFiguresArriveOrMove();
    void visibilityIsRememberedBetweenRuns();
};

void FilterBarTest::ctrlFShowsTheBarAboveTheListAndEscOrCloseHideIt() {
    Window w;
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    auto* bar = w.window.findChild<FilterBar*>();
    QVERIFY(bar != nullptr);
    QVERIFY(!bar->isVisible());
    QCOMPARE(w.Place(&w.window.List()), kListAlone);

    for (const bool byButton : {false, true}) {
        w.window.List().setFocus();
        w.PressCtrlF();
        QVERIFY(bar->isVisible());
        QTRY_COMPARE(QApplication::focusWidget(), w.Field("filterKeyword"));
        QCOMPARE(w.Place(bar), QRect(1, 113, 887, FilterBar::kHeight));
        QCOMPARE(w.Place(&w.window.List()), kListAlone.adjusted(0, FilterBar::kHeight, 0, 0));

        QTest::keyClicks(w.Field("filterKeyword"), QStringLiteral("x"));
        QTest::keyClicks(w.Field("filterMaxCount"), QStringLiteral("9"));
        QVERIFY(w.window.Filter().IsFiltering());
        if (byButton) {
            QTest::mouseClick(bar->findChild<QToolButton*>(QStringLiteral("filterClose")),
                              Qt::LeftButton);
        } else {
            QTest::keyClick(w.Field("filterMaxCount"), Qt::Key_Escape);
        }
        QVERIFY(!bar->isVisible());
        QVERIFY(!w.window.Filter().IsFiltering());  // hiding clears the filter
        QCOMPARE(w.Field("filterKeyword")->text(), QString());
        QCOMPARE(w.Place(&w.window.List()), kListAlone);
    }

    // The menu command, at the end of the program's own section.
    QAction* command = w.window.MenuAction(QStringLiteral("筛选…"));
    QVERIFY(command != nullptr);
    QCOMPARE(command->objectName(), QStringLiteral("showFilter"));
    QCOMPARE(command->shortcut(), QKeySequence(QKeySequence::Find));
    command->trigger();
    QVERIFY(bar->isVisible());
    // Resizing keeps the bar on top of the list, both as wide as the list.
    mofeng::test::ResizeContent(w.window, QSize(1004, 568));
    QCOMPARE(w.Place(bar), QRect(1, 113, 987, FilterBar::kHeight));
    QCOMPARE(w.Place(&w.window.List()),
             QRect(1, 113 + FilterBar::kHeight, 987, 437 - FilterBar::kHeight));
}

void FilterBarTest::typingFiltersAsYouType_data() {
    QTest::addColumn<QStringList>("typed");  // field name, text, field name, text, ...
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("nothing") << QStringList{}
                             << QStringList{"碎花连衣裙", "连衣裙 夏季", "男士衬衫", "“、",
                                            "雪纺连衣裙"};
    QTest::newRow("contains") << QStringList{"filterKeyword", "连衣裙"}
                              << QStringList{"碎花连衣裙", "连衣裙 夏季", "雪纺连衣裙"};
    QTest::newRow("contains, spaces around ignored")
        << QStringList{"filterKeyword", " 衬衫 "} << QStringList{"男士衬衫"};
    // Row 4 holds the bytes of 啊 only across two characters.
    QTest::newRow("no match across a character boundary")
        << QStringList{"filterKeyword", "啊"} << QStringList{};
    QTest::newRow("exclude any word")
        << QStringList{"filterExclude", "夏季 衬衫　雪纺"} << QStringList{"碎花连衣裙", "“、"};
    QTest::newRow("contains and exclude")
        << QStringList{"filterKeyword", "连衣裙", "filterExclude", "碎花"}
        << QStringList{"连衣裙 夏季", "雪纺连衣裙"};
    QTest::newRow("count range") << QStringList{"filterMinCount", "80", "filterMaxCount", "300"}
                                 << QStringList{"连衣裙 夏季", "雪纺连衣裙"};
    QTest::newRow("average read like the sort")
        << QStringList{"filterMinAverage", "１００"} << QStringList{"雪纺连衣裙"};
    QTest::newRow("multiple: -- reads as 0")
        << QStringList{"filterMaxMultiple", "0"} << QStringList{"连衣裙 夏季", "男士衬衫"};
    QTest::newRow("everything") << QStringList{"filterKeyword",     "连衣裙",
                                               "filterExclude",     "夏",
                                               "filterMinCount",    "1000",
                                               "filterMinMultiple", "3",
                                               "filterMaxMultiple", "4",
                                               "filterMaxAverage",  "40"}
                                << QStringList{"碎花连衣裙"};
}

void FilterBarTest::typingFiltersAsYouType() {
    QFETCH(QStringList, typed);
    QFETCH(QStringList, shown);
    Window w;
    w.window.Model().AppendRows(SampleRows());
    w.window.ShowFilter();
    for (int i = 0; i + 1 < typed.size(); i += 2) {
        QLineEdit* field = w.Field(qPrintable(typed[i]));
        QVERIFY2(field != nullptr, qPrintable(typed[i]));
        field->setText(typed[i + 1]);  // each edit filters at once
    }
    QCOMPARE(w.Shown(), shown);
}

void FilterBarTest::commandsActOnTheSelectedRowsShown() {
    QTemporaryDir dir;
    Window w;
    w.window.Model().AppendRows(SampleRows());
    QTableView& list = w.window.List();
    list.selectAll();  // every row, then a filter hides some of them
    w.window.ShowFilter();
    w.Field("filterKeyword")->setText(QStringLiteral("连衣裙"));
    w.Field("filterExclude")->setText(QStringLiteral("碎花"));
    QCOMPARE(w.window.SelectedRows(), (std::vector<int>{1, 4}));

    // Export of the selection: the selected rows shown, read back from the file.
    const QString path = dir.filePath(QStringLiteral("shown.xls"));
    QVERIFY(w.window.ExportSelectedTo(path));
    QFile in(path);
    QVERIFY(in.open(QIODevice::ReadOnly));
    const QByteArray bytes = in.readAll();
    const std::vector<Row> exported =
        mofeng::app::ReadOwnXlsRows(std::string_view(bytes.constData(), bytes.size()));
    const std::vector<Row> all = SampleRows();
    QCOMPARE(exported, (std::vector<Row>{all[1], all[4]}));

    // Ctrl+A selects the rows shown only; Ctrl+C copies them.
    list.clearSelection();
    w.Field("filterExclude")->clear();
    QTest::keyClick(&list, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(w.window.SelectedRows(), (std::vector<int>{0, 1, 4}));
    QTest::keyClick(&list, Qt::Key_C, Qt::ControlModifier);
    const QStringList lines =
        QGuiApplication::clipboard()->text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    QVERIFY(lines[1].startsWith(QStringLiteral("1\t碎花连衣裙\t1200")));
    QVERIFY(lines[3].startsWith(QStringLiteral("5\t雪纺连衣裙\t300")));

    // A row selected through the filter is still the same model row after
    // the filter goes: nothing unseen was selected meanwhile.
    w.window.HideFilter();
    QCOMPARE(w.window.SelectedRows(), (std::vector<int>{0, 1, 4}));
}

void FilterBarTest::rowsAreJudgedAgainWhenTheirFiguresArriveOrMove() {
    Window w;
    std::vector<Row> rows = SampleRows();
    for (Row& row : rows) {
        row[2].clear();  // not queried yet
    }
    w.window.Model().AppendRows(std::move(rows));
    w.window.ShowFilter();
    w.Field("filterMinCount")->setText(QStringLiteral("100"));
    QCOMPARE(w.Shown(), QStringList{});

    // Results land by row id, as a query run delivers them.
    const auto ids = w.window.Model().Data().RowIds();
    w.window.Model().SetCellsById(ids[4], 2, {"500"});
    w.window.Model().SetCellsById(ids[0], 2, {"150"});
    QTRY_COMPARE(w.Shown(), (QStringList{"碎花连衣裙", "雪纺连衣裙"}));

    // A sort moves the texts: the filter follows them, in the new order,
    // and the selection stays at its place in the view.
    w.window.List().selectRow(0);
    w.window.SortByColumn(2);
    QCOMPARE(w.Shown(), (QStringList{"雪纺连衣裙", "碎花连衣裙"}));
    QCOMPARE(w.window.Model().Data().Cell(0, 2), std::string("500"));
    QCOMPARE(w.window.SelectedRows(), std::vector<int>{0});
    w.window.SortByColumn(2);
    QCOMPARE(w.Shown(), (QStringList{"碎花连衣裙", "雪纺连衣裙"}));
}

void FilterBarTest::visibilityIsRememberedBetweenRuns() {
    {
        Window first;
        QVERIFY(!first.window.findChild<FilterBar*>()->isVisible());
        first.window.ShowFilter();
        first.Field("filterKeyword")->setText(QStringLiteral("kept?"));
    }
    {
        Window second;  // opens with the bar, but not with the old criteria
        auto* bar = second.window.findChild<FilterBar*>();
        QVERIFY(bar->isVisible());
        QCOMPARE(second.Field("filterKeyword")->text(), QString());
        QCOMPARE(second.Place(&second.window.List()),
                 kListAlone.adjusted(0, FilterBar::kHeight, 0, 0));
        second.window.HideFilter();
    }
    Window third;
    QVERIFY(!third.window.findChild<FilterBar*>()->isVisible());
    QCOMPARE(third.Place(&third.window.List()), kListAlone);
}

QTEST_MAIN(FilterBarTest)
#include "FilterBarTest.moc"
