#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QSet>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/SpreadsheetExport.h"
#include "ui/GuiFixture.h"
#include "ui/common/BackgroundTasks.h"
#include "ui/common/GbkQt.h"
#include "ui/common/KeywordListModel.h"
#include "ui/common/LightTheme.h"
#include "ui/main/MainWindow.h"
#include "ui/mining/MiningWindowManager.h"
#include "ui/startup/AppContext.h"
#include "ui/startup/HomeTrendPrefetch.h"
#include "ui/startup/StartupOptions.h"

using mofeng::runtime::Row;
using mofeng::ui::AppContext;
using mofeng::ui::FromGbk;
using mofeng::ui::MainWindow;
using mofeng::ui::ToGbk;

namespace {

using Rows = std::vector<std::pair<QString, QString>>;  // (序号, 关键词) as shown

QByteArray Bytes(const std::string& bytes) {
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Writes bytes to a new file in dir; returns its path.
QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

// Collects the addresses handed to the desktop's URL handler.
class UrlRecorder final : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void Open(const QUrl& url) { opened.append(url); }
};

// A window over a fresh program context, on the "指数查询" tab.
struct Fixture {
    Fixture()
        : context({},
                  mofeng::ui::WebPages::FromEnvironment(QCoreApplication::applicationDirPath())),
          window(context) {
        window.show();
        mofeng::test::ShowListTab(window);
    }

    void AddRows(std::vector<Row> rows) { window.Model().AppendRows(std::move(rows)); }

    Rows Shown() const {
        Rows rows;
        const auto& model = const_cast<MainWindow&>(window).Model();
        for (int row = 0; row < model.rowCount(); ++row) {
            rows.emplace_back(model.index(row, 0).data().toString(),
                              model.index(row, 1).data().toString());
        }
        return rows;
    }

    std::vector<int> SelectedRows() { return window.SelectedRows(); }

    void Select(std::initializer_list<int> rows) {
        for (int row : rows) {
            // Rows of the list as shown (the same as the model's while nothing is filtered).
            window.List().selectionModel()->select(
                window.List().model()->index(row, 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }

    void ClickHeader(int column) {
        QHeaderView* header = window.List().horizontalHeader();
        const QPoint centre(
            header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
            header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
    }

    AppContext context;
    MainWindow window;
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void controlsSitWhereTheWindowDefinitionPutsThem_data();
    void controlsSitWhereTheWindowDefinitionPutsThem();
    void windowShowsTitleListAndPictures();
    void listGrowsWithTheWindow();
    void popupMenuListsEntriesInOrder();
    void importAppendsOneNumberedRowPerLine_data();
    void importAppendsOneNumberedRowPerLine();
    void eachImportNumbersFromOne();
    void exportWritesSelectedRowsWithScreenWidths();
    void exportWithoutSelectionWritesNothing();
    void headerClickSortsLargestFirst_data();
    void headerClickSortsLargestFirst();
    void selectionStaysAtPositionsAfterSort();
    void clearDataRemovesRowsKeepsColumns();
    void commandsReachMiningWindowsAndWebPages();
    void closingDuringImportReturnsWithWorkersJoined();
    void startupOptions_data();
    void startupOptions();
    void webPagesComeFromEnvironmentOrHelpPage();
    void startupFetchesSampleTrendOnce();
};

void MainWindowTest::initTestCase() {
    mofeng::ui::ApplyLightTheme(*qApp);
    qunsetenv("MOFENG_SITE_URL");
    qunsetenv("MOFENG_TUTORIAL_URL");
}

void MainWindowTest::controlsSitWhereTheWindowDefinitionPutsThem_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("expected");  // relative to the window's content
    QTest::newRow("tab control") << "高级选择夹1" << QRect(0, 0, 976, 512);
    QTest::newRow("home picture") << "图片框2" << QRect(0, 23, 905, 424);
    QTest::newRow("banner") << "图片框1" << QRect(-48, 23, 960, 90);
    // The list reaches down to the status line at the bottom.
    QTest::newRow("list") << "超级列表框1" << QRect(1, 113, 887, 337);
    QTest::newRow("hyperlink") << "超级链接框1" << QRect(819, 0, 72, 20);
}

void MainWindowTest::controlsSitWhereTheWindowDefinitionPutsThem() {
    QFETCH(QString, name);
    QFETCH(QRect, expected);
    Fixture f;
    for (int tab : {0, 1}) {  // the page of a hidden tab is laid out as well
        f.window.findChild<QTabWidget*>(QStringLiteral("高级选择夹1"))->setCurrentIndex(tab);
        auto* control = f.window.findChild<QWidget*>(name);
        QVERIFY(control);
        const QRect actual(control->mapTo(&f.window.Content(), QPoint(0, 0)), control->size());
        QCOMPARE(actual, expected);
    }
}

void MainWindowTest::windowShowsTitleListAndPictures() {
    Fixture f;
    QCOMPARE(f.window.windowTitle(), QStringLiteral("墨枫V1.1"));
    // The client area below the menu bar and the toolbar.
    QCOMPARE(QRect(f.window.geometry().topLeft(), f.window.Content().size()),
             QRect(50, 50, 904, 468));
    QCOMPARE(f.window.windowIcon().actualSize(QSize(256, 256)), QSize(48, 48));

    auto* tabs = f.window.findChild<QTabWidget*>(QStringLiteral("高级选择夹1"));
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->tabText(0), QStringLiteral("首页"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("指数查询"));
    QCOMPARE(tabs->font().families().value(0), QStringLiteral("SimSun"));

    // The pictures are loaded (a missing resource gives an empty pixmap).
    for (const auto& [name, size] :
         {std::pair{"图片框2", QSize(905, 424)}, std::pair{"图片框1", QSize(960, 90)}}) {
        auto* picture = f.window.findChild<QLabel*>(QString::fromUtf8(name));
        QCOMPARE(picture->pixmap().size(), size);
    }

    // The hyperlink belongs to the window's content, so it shows on both tabs.
    auto* link = f.window.findChild<QLabel*>(QStringLiteral("超级链接框1"));
    QCOMPARE(link->parentWidget(), &f.window.Content());
    QCOMPARE(link->text(), QStringLiteral("视频教程"));
    for (int tab : {0, 1}) {
        tabs->setCurrentIndex(tab);
        QVERIFY(link->isVisible());
        QCOMPARE(f.window.Content().childAt(link->geometry().center()), link);
    }

    QTableView& list = f.window.List();
    QCOMPARE(list.selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(list.selectionBehavior(), QAbstractItemView::SelectRows);
    QVERIFY(list.showGrid());
    QVERIFY(list.horizontalHeader()->isVisible());
    QStringList columns;
    for (int column = 0; column < f.window.Model().columnCount(); ++column) {
        columns << f.window.Model().headerData(column, Qt::Horizontal).toString() + ' ' +
                       QString::number(list.horizontalHeader()->sectionSize(column));
    }
    QCOMPARE(columns,
             QStringList({"序号 55", "关键词 160", "宝贝数量 100", "昨日搜索指数 110",
                          "7天平均指数 120", "指数趋势 100", "竞争倍数 100", "趋势比(斜率) 100"}));
    for (const char* name : {"通用对话框1", "通用对话框2", "菜单"}) {
        QVERIFY2(f.window.findChild<QObject*>(QString::fromUtf8(name)), name);
    }
}

void MainWindowTest::listGrowsWithTheWindow() {
    Fixture f;
    QTableView& list = f.window.List();
    mofeng::test::ResizeContent(f.window, QSize(1004, 568));
    QCOMPARE(list.size(), QSize(987, 437));
    QCOMPARE(list.mapTo(&f.window.Content(), QPoint(0, 0)), QPoint(1, 113));
    mofeng::test::ResizeContent(f.window, QSize(800, 400));  // lower: the banner gives way
    QCOMPARE(list.size(), QSize(783, 359));
    QCOMPARE(list.mapTo(&f.window.Content(), QPoint(0, 0)), QPoint(1, 23));
    // Growing the list must not stretch a column: exported widths stay.
    QCOMPARE(f.window.ColumnWidths().at(7), 100);
}

void MainWindowTest::popupMenuListsEntriesInOrder() {
    Fixture f;
    auto* menu = f.window.findChild<QMenu*>(QStringLiteral("菜单"));
    QVERIFY(menu);
    QStringList entries;
    for (const QAction* action : menu->actions()) {
        entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    QCOMPARE(entries, QStringList({"清空数据",
                                   "导入关键词",
                                   "导出选中到表格",
                                   "开始查询指数",
                                   "-",
                                   "自动淘词",
                                   "-",
                                   "青禾软件官网",    //
                                   "-",               //
                                   "撤销",            //
                                   "重做",            //
                                   "添加关键词…",     //
                                   "删除选中行",      //
                                   "删除重复关键词",  //
                                   "-",               //
                                   "打开列表…",       //
                                   "保存列表…",       //
                                   "-",               //
                                   "停止查询",        //
                                   "重试失败行",      //
                                   "-",               //
                                   "筛选…",           //
                                   "七日趋势图",      //
                                   "-",               //
                                   "设置"}));
    for (const QString& entry : entries) {
        // 停止查询 waits for a run.
        if (entry != QLatin1String("-") && entry != QStringLiteral("停止查询")) {
            QVERIFY2(f.window.MenuAction(entry) && f.window.MenuAction(entry)->isEnabled(),
                     qPrintable(entry));
        }
    }
}

void MainWindowTest::importAppendsOneNumberedRowPerLine_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("keywords");
    const std::string longLine(2000, 'k');
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("LF with empty line") << QByteArray("a\n\nb") << QStringList{"a", "", "b"};
    QTest::newRow("SUB ends the data") << QByteArray(
                                              "a\x1A"
                                              "b\n")
                                       << QStringList{"a"};
    QTest::newRow("2000-byte line")
        << Bytes(longLine + "\r\nx") << QStringList{QString::fromStdString(longLine), "x"};
    QTest::newRow("GBK") << Bytes(ToGbk(QStringLiteral("连衣裙\n碎花连衣裙\n")))
                         << QStringList{"连衣裙", "碎花连衣裙"};
    QTest::newRow("UTF-8") << QStringLiteral("连衣裙\r\n雪纺\r\n").toUtf8()
                           << QStringList{"连衣裙", "雪纺"};
}

void MainWindowTest::importAppendsOneNumberedRowPerLine() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, keywords);
    QTemporaryDir dir;
    const QString path = WriteFile(dir, QStringLiteral("关键词.txt"), file);  // non-ASCII name

    Fixture f;
    f.window.ImportFile(path);
    QTRY_COMPARE(f.window.Tasks().RunningCount(), 0);
    Rows expected;
    for (int i = 0; i < keywords.size(); ++i) {
        expected.emplace_back(QString::number(i + 1), keywords[i]);
    }
    QCOMPARE(f.Shown(), expected);
    // Cells hold GBK bytes, whatever the file's encoding was.
    for (int row = 0; row < keywords.size(); ++row) {
        QCOMPARE(f.window.KeywordTable().GetCell(row, 1), ToGbk(keywords[row]));
    }
}

void MainWindowTest::eachImportNumbersFromOne() {
    QTemporaryDir dir;
    const QString path = WriteFile(dir, QStringLiteral("k.txt"), "x\ny\n");

    Fixture f;
    f.AddRows({Row{"7", "old"}});
    f.window.ImportFile(path);
    QTRY_COMPARE(f.window.Tasks().RunningCount(), 0);
    f.window.ImportFile(path);
    QTRY_COMPARE(f.window.Tasks().RunningCount(), 0);
    QCOMPARE(f.Shown(), Rows({{"7", "old"}, {"1", "x"}, {"2", "y"}, {"1", "x"}, {"2", "y"}}));

    f.window.ImportFile(dir.filePath(QStringLiteral("missing.txt")));
    QTRY_COMPARE(f.window.Tasks().RunningCount(), 0);
    QCOMPARE(f.window.Model().rowCount(), 5);
}

void MainWindowTest::exportWritesSelectedRowsWithScreenWidths() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("导出.xls"));
    Fixture f;
    f.AddRows({Row{"1", ToGbk(QStringLiteral("连衣裙")), "120"}, Row{"2", "skipped"},
               Row{"3", "<b>", "7"}});
    f.Select({2, 0});  // click order does not matter

    QVERIFY(f.window.ExportSelectedTo(path));
    QFile in(path);
    QVERIFY(in.open(QIODevice::ReadOnly));
    const QByteArray written = in.readAll();
    QCOMPARE(written, Bytes(mofeng::app::BuildSpreadsheetDocument(f.window.KeywordTable(), {0, 2},
                                                                  f.window.ColumnWidths())));

    // What the initial widths (845 px in all) must give, checked on their own.
    QVERIFY(
        written.contains("<table x:str border=0 cellpadding=0 cellspacing=0 width=635 "
                         "style='border-collapse:   collapse;table-layout:fixed;width:477pt'"));
    QVERIFY(
        written.contains(" <col width=55 style='mso-width-source:userset;"
                         "mso-width-alt:1760;width:41pt'>\r\n"));
    QVERIFY(!written.contains("skipped"));

    // A column the user narrows to nothing is exported with width 0; a second
    // export to the same name replaces the first file.
    f.window.List().horizontalHeader()->resizeSection(2, 0);
    QVERIFY(f.window.ExportSelectedTo(path));
    in.close();
    QVERIFY(in.open(QIODevice::ReadOnly));
    const QByteArray narrowed = in.readAll();
    QVERIFY(
        narrowed.contains(" <col width=0 style='mso-width-source:userset;"
                          "mso-width-alt:0;width:0pt'>\r\n"));
    QVERIFY(
        narrowed.contains("width=560 style='border-collapse:   collapse;table-layout:fixed;"
                          "width:421pt'"));  // 745 px in all
}

void MainWindowTest::exportWithoutSelectionWritesNothing() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("none.xls"));
    Fixture f;
    f.AddRows({Row{"1", "a"}});
    QVERIFY(!f.window.ExportSelectedTo(path));
    QVERIFY(!QFile::exists(path));
    // An unwritable place is reported as failure, not as success.
    f.Select({0});
    QVERIFY(!f.window.ExportSelectedTo(dir.filePath(QStringLiteral("no/such/folder.xls"))));
}

void MainWindowTest::headerClickSortsLargestFirst_data() {
    QTest::addColumn<QStringList>("keywords");
    QTest::addColumn<QStringList>("values");  // column 2
    QTest::addColumn<QStringList>("sorted");  // keywords after one click on column 2
    QTest::newRow("distinct") << QStringList{"five", "three", "eight"} << QStringList{"5", "3", "8"}
                              << QStringList{"eight", "five", "three"};
    QTest::newRow("ties reverse") << QStringList{"A", "B", "one", "three"}
                                  << QStringList{"2", "2", "1", "3"}
                                  << QStringList{"three", "B", "A", "one"};
    QTest::newRow("empty list") << QStringList{} << QStringList{} << QStringList{};
}

void MainWindowTest::headerClickSortsLargestFirst() {
    QFETCH(QStringList, keywords);
    QFETCH(QStringList, values);
    QFETCH(QStringList, sorted);
    Fixture f;
    std::vector<Row> rows;
    for (int i = 0; i < keywords.size(); ++i) {
        rows.push_back(
            Row{std::to_string(i + 1), keywords[i].toStdString(), values[i].toStdString()});
    }
    f.AddRows(std::move(rows));
    f.ClickHeader(2);
    QStringList shown;
    for (const auto& row : f.Shown()) {
        shown << row.second;
    }
    QCOMPARE(shown, sorted);
}

void MainWindowTest::selectionStaysAtPositionsAfterSort() {
    Fixture f;
    f.AddRows({Row{"1", "small", "1"}, Row{"2", "mid", "5"}, Row{"3", "big", "9"}});
    f.Select({0, 1});
    f.ClickHeader(2);
    QCOMPARE(f.Shown(), Rows({{"3", "big"}, {"2", "mid"}, {"1", "small"}}));
    QCOMPARE(f.SelectedRows(), std::vector<int>({0, 1}));
}

void MainWindowTest::clearDataRemovesRowsKeepsColumns() {
    Fixture f;
    f.window.MenuAction(QStringLiteral("清空数据"))->trigger();  // on an empty list: no effect
    QCOMPARE(f.window.Model().rowCount(), 0);
    f.AddRows({Row{"1", "a"}, Row{"2", "b"}});
    f.Select({1});
    f.window.MenuAction(QStringLiteral("清空数据"))->trigger();
    QCOMPARE(f.window.Model().rowCount(), 0);
    QCOMPARE(f.window.Model().columnCount(), 8);
    QVERIFY(f.SelectedRows().empty());
}

void MainWindowTest::commandsReachMiningWindowsAndWebPages() {
    Fixture f;
    // Every command has an ASCII object name of its own.
    QSet<QString> names;
    for (QAction* action : f.window.findChild<QMenu*>(QStringLiteral("菜单"))->actions()) {
        if (action->isSeparator()) {
            continue;
        }
        const QString name = action->objectName();
        QVERIFY2(!name.isEmpty() && std::all_of(name.begin(), name.end(),
                                                [](QChar c) { return c.unicode() < 0x80; }),
                 qPrintable(action->text()));
        QVERIFY2(!names.contains(name), qPrintable(name));
        names.insert(name);
    }
    QVERIFY(names.size() >= 10);

    // Each "自动淘词" opens another mining window; closing the main window
    // closes them.
    f.window.MenuAction(QStringLiteral("自动淘词"))->trigger();
    f.window.MenuAction(QStringLiteral("自动淘词"))->trigger();
    QCOMPARE(f.window.MiningWindows().OpenWindows().size(), std::size_t{2});
    f.window.MiningWindows().CloseAll();
    QVERIFY(f.window.MiningWindows().OpenWindows().empty());

    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "Open");
    f.window.MenuAction(QStringLiteral("青禾软件官网"))->trigger();
    QTest::mousePress(f.window.findChild<QWidget*>(QStringLiteral("超级链接框1")), Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(recorder.opened, QList<QUrl>({f.context.Web().site, f.context.Web().tutorial}));
}

void MainWindowTest::closingDuringImportReturnsWithWorkersJoined() {
    QTemporaryDir dir;
    constexpr int kLines = 200000;
    QByteArray lines;
    for (int i = 0; i < kLines; ++i) {
        lines += "keyword " + QByteArray::number(i) + '\n';
    }
    const QString path = WriteFile(dir, QStringLiteral("big.txt"), lines);

    Fixture f;
    QSignalSpy inserted(&f.window.Model(), &QAbstractItemModel::rowsInserted);
    f.window.ImportFile(path);
    QVERIFY(inserted.wait(60000));
    // The worker now waits on the UI thread for its next batch; closing must
    // release it rather than wait for it.
    QVERIFY(f.window.close());
    QCOMPARE(f.window.Tasks().RunningCount(), 0);
    QVERIFY(f.window.Model().rowCount() < kLines);
    // Calls after the close return at once with nothing.
    QCOMPARE(f.window.KeywordTable().AppendRows({Row{"x"}}), -1);
}

void MainWindowTest::startupOptions_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QStringList>("bases");  // search, index, suggest
    const QString env = QStringLiteral("http://env.invalid");
    const QString demo = QStringLiteral("http://127.0.0.1:9");
    QTest::newRow("demo") << QStringList{"--demo"} << true << QStringList{demo, demo, demo};
    QTest::newRow("explicit beats demo")
        << QStringList{"--demo", "--suggest-url", "http://127.0.0.1:8080/"} << true
        << QStringList{demo, demo, "http://127.0.0.1:8080"};
    QTest::newRow("each option") << QStringList{"--search-url=http://a.test", "--index-url",
                                                "https://b.test:81"}
                                 << true << QStringList{"http://a.test", "https://b.test:81", env};
    QTest::newRow("bad scheme") << QStringList{"--index-url", "ftp://b.test"} << false
                                << QStringList{};
    QTest::newRow("path after host")
        << QStringList{"--search-url", "http://a.test/x"} << false << QStringList{};
    QTest::newRow("unknown option") << QStringList{"--fast"} << false << QStringList{};
    QTest::newRow("keyword file") << QStringList{"--keyword-file", "docs/k.txt"} << true
                                  << QStringList{env, env, env};
}

void MainWindowTest::startupOptions() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, valid);
    QFETCH(QStringList, bases);
    const auto parsed =
        mofeng::ui::ParseStartupOptions(QStringList{QStringLiteral("mofeng")} + arguments);
    QCOMPARE(parsed.error.isEmpty(), valid);
    if (!valid) {
        return;
    }
    mofeng::net::EndpointConfig environment;
    environment.searchBase = environment.indexBase = environment.suggestBase = "http://env.invalid";
    const auto endpoints =
        mofeng::ui::ResolveEndpoints(parsed.options, environment, "http://127.0.0.1:9");
    QCOMPARE(QStringList({QString::fromStdString(endpoints.searchBase),
                          QString::fromStdString(endpoints.indexBase),
                          QString::fromStdString(endpoints.suggestBase)}),
             bases);
}

void MainWindowTest::webPagesComeFromEnvironmentOrHelpPage() {
    const QString help = QStringLiteral("/opt/mofeng/help/index.html");
    auto pages = mofeng::ui::WebPages::FromEnvironment(QStringLiteral("/opt/mofeng"));
    QCOMPARE(pages.site, QUrl::fromLocalFile(help));
    QCOMPARE(pages.tutorial.adjusted(QUrl::RemoveFragment), QUrl::fromLocalFile(help));
    QCOMPARE(pages.tutorial.fragment(), QStringLiteral("tutorial"));

    qputenv("MOFENG_SITE_URL", "http://127.0.0.1:1/site");
    qputenv("MOFENG_TUTORIAL_URL", "not a url");  // ignored
    pages = mofeng::ui::WebPages::FromEnvironment(QStringLiteral("/opt/mofeng"));
    qunsetenv("MOFENG_SITE_URL");
    qunsetenv("MOFENG_TUTORIAL_URL");
    QCOMPARE(pages.site, QUrl(QStringLiteral("http://127.0.0.1:1/site")));
    QCOMPARE(pages.tutorial.fragment(), QStringLiteral("tutorial"));
}

void MainWindowTest::startupFetchesSampleTrendOnce() {
    httplib::Server server;
    std::atomic<int> requests{0};
    std::string target;
    server.Get("/trendindex.json", [&](const httplib::Request& request, httplib::Response& reply) {
        target = request.target;
        ++requests;
        reply.set_content("{}", "application/json");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    QVERIFY(port > 0);
    std::thread serving([&] { server.listen_after_bind(); });

    mofeng::net::EndpointConfig endpoints;
    endpoints.indexBase = "http://127.0.0.1:" + std::to_string(port);
    {
        mofeng::ui::BackgroundTasks tasks;
        mofeng::ui::StartHomeTrendPrefetch(tasks, endpoints);
        QTRY_COMPARE(tasks.RunningCount(), 0);
    }
    server.stop();
    serving.join();
    QCOMPARE(requests.load(), 1);
    QCOMPARE(target, std::string("/trendindex.json?query=%E8%AF%BA%E5%9F%BA%E4%BA%9A"));
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
