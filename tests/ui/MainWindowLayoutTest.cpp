#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

#include "sim/Simulator.h"
#include "ui/GuiFixture.h"
#include "ui/common/ClickArea.h"
#include "ui/common/FileDialogSettings.h"
#include "ui/common/KeywordListModel.h"
#include "ui/main/FilterBar.h"
#include "ui/main/IndexQueryController.h"
#include "ui/main/KeywordFilterProxy.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MainWindowMemory.h"
#include "ui/startup/AppContext.h"

using namespace mofeng;

namespace {

using test::AnswerNextFileDialog;

QPoint InWindow(const QWidget& control, const QWidget& window) {
    return control.mapTo(&window, QPoint(0, 0));
}

struct Fixture {
    explicit Fixture(net::EndpointConfig endpoints = {}) : context(endpoints, {}) {
        window = std::make_unique<ui::MainWindow>(context);
        window->show();
    }
    QTabWidget& Tabs() { return *window->findChild<QTabWidget*>(QStringLiteral("高级选择夹1")); }
    void Click(const char* name) {
        auto* card = window->findChild<ui::ClickArea*>(QLatin1String(name));
        QVERIFY(card != nullptr);
        QTest::mouseClick(card, Qt::LeftButton, {}, card->rect().center());
    }

    ui::AppContext context;
    std::unique_ptr<ui::MainWindow> window;
};

}  // namespace

class MainWindowLayoutTest final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
        QSettings().clear();
    }

    void resizingGrowsListAndBannerAndKeepsTheLinkTopRight() {
        Fixture f;
        ui::MainWindow& w = *f.window;
        QCOMPARE(w.minimumSize() - (w.size() - w.Content().size()), QSize(640, 345));
        auto* link = w.findChild<QLabel*>(QStringLiteral("超级链接框1"));
        auto* banner = w.findChild<QLabel*>(QStringLiteral("图片框1"));
        QWidget& c = w.Content();
        const int linkMargin = c.width() - (InWindow(*link, c).x() + link->width());
        struct Step {
            QSize asked;
            QSize content;
        };
        const Step steps[] = {
            {{1204, 668}, {1204, 668}},
            {{600, 300}, {640, 345}},  // held at the minimum, the list shrunk
            {{1000, 468}, {1000, 468}},
        };
        for (const Step& step : steps) {
            test::ResizeContent(w, step.asked);
            QCOMPARE(c.size(), step.content);
            const QSize extra = step.content - QSize(904, 468);
            // Lower than at the start, the list takes the banner's place.
            const int bannerHeight = extra.height() >= 0 ? 90 : 0;
            QCOMPARE(w.List().size(), QSize(887, 337 + 90 - bannerHeight) + extra);
            QCOMPARE(InWindow(w.List(), c), QPoint(1, 23 + bannerHeight));
            QCOMPARE(banner->isHidden(), bannerHeight == 0);
            QCOMPARE(banner->size(), QSize(960 + extra.width(), 90));
            QCOMPARE(InWindow(*link, c).y(), 0);
            QCOMPARE(c.width() - (InWindow(*link, c).x() + link->width()), linkMargin);
            QCOMPARE(c.childAt(link->geometry().center()), link);
        }
    }

    void geometryAndColumnWidthsComeBackNextRun() {
        const QSize size(1111, 622);
        {
            Fixture f;
            f.window->RememberBetweenRuns();
            f.window->resize(size);
            f.window->List().horizontalHeader()->resizeSection(1, 222);
            QVERIFY(f.window->close());
        }
        {
            Fixture f;  // not remembering: a test or a second window opens as new
            QCOMPARE(f.window->Content().size(), QSize(904, 468));
            QCOMPARE(f.window->Model().ColumnWidth(1), 160);
        }
        {
            ui::AppContext context({}, {});
            ui::MainWindow window(context);
            window.RememberBetweenRuns();
            window.show();
            QCOMPARE(window.size(), size);
            QCOMPARE(window.List().horizontalHeader()->sectionSize(1), 222);
            QCOMPARE(window.Model().ColumnWidth(1), 222);  // what an export uses
            QCOMPARE(window.List().horizontalHeader()->sectionSize(2), 100);
            window.List().horizontalHeader()->resizeSection(2, 77);
        }  // destroyed without a close: still saved
        const QVariantList widths =
            QSettings().value(QLatin1String(ui::kMainWindowColumnWidthsKey)).toList();
        QCOMPARE(widths.value(1).toInt(), 222);
        QCOMPARE(widths.value(2).toInt(), 77);
        {
            // Never set by the seller: the keyword column follows the window.
            Fixture f;
            f.window->RememberBetweenRuns();
            test::ResizeContent(*f.window, QSize(1204, 468));
            QCOMPARE(f.window->List().horizontalHeader()->sectionSize(1), 222);
            QSettings().remove(QLatin1String(ui::kMainWindowColumnWidthsKey));
        }
        {
            Fixture f;
            test::ResizeContent(*f.window, QSize(1204, 468));
            QCOMPARE(f.window->List().horizontalHeader()->sectionSize(1), 160 + 300);
            QCOMPARE(f.window->List().horizontalHeader()->sectionSize(2), 100);
            QVERIFY(f.window->close());
        }
    }

    void tabSortAndFilterComeBackNextRun() {
        {
            Fixture f;
            f.window->RememberBetweenRuns();
            f.window->Model().AppendRows({{"1", "a", "5"}, {"2", "b", "9"}});
            f.Tabs().setCurrentIndex(1);
            f.window->SortByColumn(2);
            f.window->SortByColumn(2);  // smallest first
            f.window->ShowFilter();
            f.window->findChild<QLineEdit*>(QStringLiteral("filterKeyword"))
                ->setText(QStringLiteral("a"));
            QVERIFY(f.window->close());
        }
        ui::AppContext context({}, {});
        ui::MainWindow window(context);
        window.RememberBetweenRuns();
        // The session brings the rows back in the order they were left.
        window.Model().AppendRows({{"1", "a", "5"}, {"2", "b", "9"}});
        window.show();
        QCOMPARE(window.findChild<QTabWidget*>(QStringLiteral("高级选择夹1"))->currentIndex(), 1);
        QCOMPARE(window.SortColumn(), 2);
        QVERIFY(window.SortOrder() == app::SortOrder::SmallestFirst);
        QCOMPARE(
            window.FilterControls().findChild<QLineEdit*>(QStringLiteral("filterKeyword"))->text(),
            QStringLiteral("a"));
        QVERIFY(window.Filter().IsFiltering());
        // Rows out of that order take the arrow away.
        window.Model().AppendRows({{"3", "c", "1"}});
        QTRY_COMPARE(window.SortColumn(), -1);
        QSettings().remove(QLatin1String(ui::kMainWindowFilterKey));
        QSettings().remove(QLatin1String(ui::kMainWindowTabKey));
        QSettings().remove(QLatin1String(ui::kMainWindowSortKey));
    }

    void aBrokenStoredStateIsIgnored() {
        QSettings settings;
        settings.setValue(QLatin1String(ui::kMainWindowGeometryKey), QByteArray("junk"));
        settings.setValue(QLatin1String(ui::kMainWindowColumnWidthsKey),
                          QVariantList{QStringLiteral("x"), -5, 0});
        settings.sync();
        ui::AppContext context({}, {});
        ui::MainWindow window(context);
        window.RememberBetweenRuns();
        QCOMPARE(window.Content().size(), QSize(904, 468));
        QCOMPARE(window.List().horizontalHeader()->sectionSize(0), 55);
        QCOMPARE(window.List().horizontalHeader()->sectionSize(1), 160);
        QCOMPARE(window.List().horizontalHeader()->sectionSize(2), 100);
    }

    void aDialogOpensInTheFolderChosenLastRun() {
        QTemporaryDir folder;
        const QString key = QStringLiteral("fileDialogs/test/folder");
        {
            QWidget parent;
            ui::FileDialogSettings dialog(QFileDialog::AcceptSave, QStringLiteral("d"), &parent);
            dialog.RememberFolder(key);
            AnswerNextFileDialog([&](QFileDialog& shown) {
                shown.selectFile(folder.filePath(QStringLiteral("out.xls")));
                static_cast<QDialog&>(shown).accept();  // QFileDialog hides it
            });
            QVERIFY(dialog.Show(&parent));
        }
        {
            QWidget parent;
            ui::FileDialogSettings dialog(QFileDialog::AcceptOpen, QStringLiteral("d"), &parent);
            dialog.RememberFolder(key);
            QString opened;
            AnswerNextFileDialog([&](QFileDialog& shown) {
                opened = shown.directory().absolutePath();
                shown.reject();
            });
            QVERIFY(!dialog.Show(&parent));
            QCOMPARE(opened, QDir(folder.path()).absolutePath());
            QCOMPARE(dialog.FileName(), QString());
        }
    }

    // The step cards of 首页, and the menu's and toolbar's commands chosen
    // while 首页 is in front: both show 指数查询 before their dialog opens.
    void stepCardsAndListCommandsShowTheListFirst() {
        sim::SimulatorOptions options;
        options.latencyMs = 300;
        sim::Simulator simulator(options);
        QVERIFY(simulator.Start());
        Fixture f(test::EndpointsAt(simulator));
        f.window->Model().AppendRows({{"1", "a"}, {"2", "b"}});

        struct Card {
            const char* name;  // a step card, or the objectName of a command
            bool select;
            bool dialog;  // a file dialog must open
        };
        for (const Card& card :
             {Card{"stepImport", false, true}, Card{"stepExport", false, false},
              Card{"stepExport", true, true}, Card{"importKeywords", false, true},
              Card{"exportSelection", false, false}, Card{"exportSelection", true, true},
              Card{"openList", false, true}}) {
            f.Tabs().setCurrentIndex(0);
            f.window->List().clearSelection();
            if (card.select) {
                f.window->List().selectAll();
            }
            bool opened = false;
            int tabWhenOpened = -1;
            AnswerNextFileDialog([&](QFileDialog& shown) {
                opened = true;
                tabWhenOpened = f.Tabs().currentIndex();
                shown.reject();
            });
            if (auto* command = f.window->findChild<QAction*>(QLatin1String(card.name))) {
                command->trigger();
            } else {
                f.Click(card.name);
            }
            QCOMPARE(f.Tabs().currentIndex(), 1);
            if (card.dialog) {
                QTRY_VERIFY(opened);
                QCOMPARE(tabWhenOpened, 1);
            } else {
                QCOMPARE(f.window->StatusText(), QStringLiteral("请先在列表中选中要导出的行"));
                // Leaves the helper waiting: answer a dialog of our own.
                QFileDialog stray;
                stray.open();
                QTRY_VERIFY(opened);
            }
        }

        f.Tabs().setCurrentIndex(0);
        f.window->findChild<QAction*>(QStringLiteral("startQuery"))->trigger();
        QCOMPARE(f.Tabs().currentIndex(), 1);
        QVERIFY(f.window->Query().IsRunning());
        f.window->Query().StopRun();
        QTRY_COMPARE(f.window->Tasks().RunningCount(), 0);

        f.Tabs().setCurrentIndex(0);
        f.Click("stepQuery");
        QCOMPARE(f.Tabs().currentIndex(), 1);
        QVERIFY(f.window->Query().IsRunning());
        QTRY_COMPARE(f.window->Query().RowsTotal(), 2);
        f.window->Query().StopRun();
        QTRY_COMPARE(f.window->Tasks().RunningCount(), 0);
    }

private:
    QTemporaryDir m_config;
};

QTEST_MAIN(MainWindowLayoutTest)
#include "MainWindowLayoutTest.moc"
