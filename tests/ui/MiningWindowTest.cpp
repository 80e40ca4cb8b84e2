#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "EventLoopWait.h"
#include "runtime/CodePage.h"
#include "sim/Simulator.h"
#include "ui/common/KeywordListModel.h"
#include "ui/main/MainWindow.h"
#include "ui/mining/MiningWindow.h"
#include "ui/startup/AppContext.h"

using namespace mofeng;

namespace {

struct Shown {
    QString text;
    QMessageBox::Icon icon;
    QString caption;
};

// Answers every message box that opens while it lives with OK, recording it.
class MessageAnswerer {
public:
    MessageAnswerer() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(widget);
                if (box != nullptr && box->isVisible()) {
                    shown.push_back({box->text(), box->icon(), box->windowTitle()});
                    box->button(QMessageBox::Ok)->click();
                }
            }
        });
        m_timer.start(2);
    }
    std::vector<Shown> shown;

private:
    QTimer m_timer;
};

class Fixture {
public:
    explicit Fixture(sim::SimulatorOptions options = {}) : simulator(options) {
        QVERIFY(simulator.Start());
        net::EndpointConfig endpoints;
        endpoints.searchBase = endpoints.indexBase = endpoints.suggestBase = simulator.BaseUrl();
        context = std::make_unique<ui::AppContext>(
            endpoints, ui::WebPages::FromEnvironment(QCoreApplication::applicationDirPath()));
        mainWindow = std::make_unique<ui::MainWindow>(*context);
        mainWindow->show();
    }

    // "自动淘词" in the main window's menu; the window it opened.
    ui::MiningWindow* Open() {
        const auto before = Windows();
        mainWindow->MenuAction(QStringLiteral("自动淘词"))->trigger();
        for (ui::MiningWindow* window : Windows()) {
            if (std::find(before.begin(), before.end(), window) == before.end())
                return window;
        }
        return nullptr;
    }

    static std::vector<ui::MiningWindow*> Windows() {
        std::vector<ui::MiningWindow*> windows;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* window = qobject_cast<ui::MiningWindow*>(widget);
                window && window->isVisible())
                windows.push_back(window);
        }
        return windows;
    }

    sim::Simulator simulator;
    std::unique_ptr<ui::AppContext> context;
    std::unique_ptr<ui::MainWindow> mainWindow;
};

template <typename T>
T* Control(QWidget* window, const char16_t* name) {
    return window->findChild<T*>(QString::fromUtf16(name));
}

void Fill(ui::MiningWindow* window, const QString& seed, const QString& must, int level) {
    Control<QLineEdit>(window, u"编辑框_关键词")->setText(seed);
    Control<QLineEdit>(window, u"编辑框_关键词1")->setText(must);
    Control<QComboBox>(window, u"组合框1")->setCurrentIndex(level);
}

// Types text key by key (QTest::keyClicks takes Latin-1 only).
void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }
}

void ClickStart(ui::MiningWindow* window) {
    QTest::mouseClick(Control<QPushButton>(window, u"按钮_一键淘词"), Qt::LeftButton);
}

QString StatusText(ui::MiningWindow* window) {
    return Control<QLabel>(window, u"标签_状态")->text();
}

sim::SimulatorOptions Slow() {
    sim::SimulatorOptions options;
    options.latencyMs = 30;
    return options;
}

const QString kMissing =
    QStringLiteral("一定要输入一个能区别于其他关键词的字，例如：连衣裙，可以输入‘裙’字");
const QString kTooLong = QStringLiteral(
    "一字定江山：精准匹配的话只能输入一个能区别于其他关键词的字，例如：连衣裙，可以输入‘裙’字");

}  // namespace

class MiningWindowTest final : public QObject {
    Q_OBJECT

private slots:
    void OpensAnIndependentWindowEachTime() {
        Fixture f;
        ui::MiningWindow* first = f.Open();
        ui::MiningWindow* second = f.Open();
        QVERIFY(first != nullptr && second != nullptr && first != second);
        QVERIFY(first->parent() == nullptr && !first->isModal());
        QCOMPARE(first->windowTitle(), QStringLiteral("淘关键词，我最简单"));
        QCOMPARE(first->geometry(), QRect(50, 50, 448, 347));
        const std::tuple<const char16_t*, QRect, QString> controls[] = {
            {u"图片框1", {-8, 0, 448, 60}, {}},
            {u"标签1", {8, 75, 48, 16}, QStringLiteral("关键词：")},
            {u"编辑框_关键词", {56, 70, 88, 24}, {}},
            {u"标签2", {152, 75, 56, 16}, QStringLiteral("必须包含：")},
            {u"编辑框_关键词1", {213, 71, 43, 24}, {}},
            {u"组合框1", {269, 73, 75, 20}, QStringLiteral("三级淘词")},
            {u"按钮_一键淘词", {356, 70, 72, 24}, QStringLiteral("开始淘词")},
            {u"超级列表框1", {7, 102, 424, 194}, {}},
            {u"标签_状态", {8, 298, 48, 14}, QStringLiteral("第一级：")},
            {u"进度条1", {61, 298, 371, 16}, {}},
        };
        for (const auto& [name, rect, text] : controls) {
            auto* control = Control<QWidget>(first, name);
            QVERIFY2(control != nullptr, qPrintable(QString::fromUtf16(name)));
            QCOMPARE(control->geometry(), rect);
            if (!text.isNull())
                QCOMPARE(
                    control->property(qobject_cast<QComboBox*>(control) ? "currentText" : "text")
                        .toString(),
                    text);
        }
        QVERIFY(!Control<QLabel>(first, u"图片框1")->pixmap().isNull());
        QCOMPARE(Control<QComboBox>(first, u"组合框1")->itemText(0), QStringLiteral("一级淘词"));
        QCOMPARE(first->Model().headerData(1, Qt::Horizontal).toString(), QStringLiteral("关键词"));
        QStringList menu;
        for (QAction* action : first->findChild<QMenu*>(QStringLiteral("菜单"))->actions())
            menu << action->text();
        QCOMPARE(menu, (QStringList{QStringLiteral("清空关键词"), QStringLiteral("导出关键词"),
                                    QStringLiteral("传送至主窗口")}));
        first->close();
        second->close();
    }

    void MustContainIsCheckedAtStartAndWhenItChanges() {
        Fixture f;
        ui::MiningWindow* window = f.Open();
        auto* must = Control<QLineEdit>(window, u"编辑框_关键词1");
        MessageAnswerer answerer;
        Fill(window, QStringLiteral("连衣裙"), QString(), 2);
        ClickStart(window);
        QCOMPARE(answerer.shown.size(), std::size_t(1));
        QCOMPARE(answerer.shown[0].text, kMissing);
        QCOMPARE(answerer.shown[0].icon, QMessageBox::Information);
        QCOMPARE(answerer.shown[0].caption, QStringLiteral("信息："));
        QVERIFY(!window->IsRunning());

        // Typed key by key, then pasted: what is kept, and whether the hint shows.
        const std::pair<QString, QString> typed[] = {{QStringLiteral("裙"), QStringLiteral("裙")},
                                                     {QStringLiteral("衣"), QString()},
                                                     {QStringLiteral("ab"), QStringLiteral("ab")},
                                                     {QStringLiteral("c"), QString()}};
        for (const auto& [text, kept] : typed) {
            answerer.shown.clear();
            Type(must, text);
            QCOMPARE(must->text(), kept);
            QCOMPARE(answerer.shown.size(), std::size_t(kept.isEmpty() ? 1 : 0));
        }
        QCOMPARE(answerer.shown[0].text, kTooLong);
        QCOMPARE(answerer.shown[0].icon, QMessageBox::Information);
        must->setText(QStringLiteral("连衣"));
        QCOMPARE(must->text(), QString());
        QCOMPARE(f.simulator.RequestCount(), std::uint64_t(0));
        window->close();
    }

    void RunsExportsAndSendsToTheMainWindow() {
        Fixture f;
        ui::MiningWindow* window = f.Open();
        Fill(window, QStringLiteral("碎花连衣裙"), QStringLiteral("花"), 2);
        ClickStart(window);
        QVERIFY(RunEventLoopUntil([&] { return !window->IsRunning(); }));
        QCOMPARE(StatusText(window), QStringLiteral("淘词完毕"));
        auto* progress = Control<QProgressBar>(window, u"进度条1");
        QCOMPARE(progress->value(), progress->maximum());
        const runtime::TableData& rows = window->Model().Data();
        const int count = rows.RowCount();
        QVERIFY(count > 0);
        std::string expectedFile;
        for (int row = 0; row < count; ++row) {
            QCOMPARE(rows.Cell(row, 0), std::to_string(row + 1));
            QVERIFY(runtime::GbkToUtf8(rows.Cell(row, 1)).find("花") != std::string::npos);
            expectedFile += rows.Cell(row, 1) + "\r\n";
        }

        MessageAnswerer answerer;
        const QString path =
            QCoreApplication::applicationDirPath() + QStringLiteral("/碎花连衣裙_关键词.txt");
        window->MenuAction(QStringLiteral("导出关键词"))->trigger();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().toStdString(), expectedFile);
        QVERIFY(file.remove());
        // A seed that would leave the program's folder writes nothing.
        Control<QLineEdit>(window, u"编辑框_关键词")->setText(QStringLiteral("../碎花"));
        window->MenuAction(QStringLiteral("导出关键词"))->trigger();
        QCOMPARE(answerer.shown.size(), std::size_t(2));
        QCOMPARE(answerer.shown[0].text, QStringLiteral("保存成功"));
        QCOMPARE(answerer.shown[1].text, QStringLiteral("保存失败"));
        QCOMPARE(answerer.shown[1].icon, QMessageBox::NoIcon);

        f.mainWindow->KeywordTable().AppendRows({{"1", "k"}});
        window->MenuAction(QStringLiteral("传送至主窗口"))->trigger();
        QCOMPARE(answerer.shown.back().text, QStringLiteral("传送完毕"));
        QCOMPARE(answerer.shown.back().icon, QMessageBox::Information);
        const runtime::TableData& main = f.mainWindow->Model().Data();
        QCOMPARE(main.RowCount(), count + 1);
        for (int row = 0; row < count; ++row) {
            QCOMPARE(main.Cell(row + 1, 0), std::string());
            QCOMPARE(main.Cell(row + 1, 1), rows.Cell(row, 1));
        }
        window->close();
    }

    void OnlyOneRunAtATimeAcrossWindows() {
        Fixture f(Slow());
        ui::MiningWindow* first = f.Open();
        ui::MiningWindow* second = f.Open();
        Fill(first, QStringLiteral("连衣裙"), QStringLiteral("裙"), 2);
        Fill(second, QStringLiteral("半身裙"), QStringLiteral("裙"), 2);
        ClickStart(first);
        MessageAnswerer answerer;
        ClickStart(second);
        QCOMPARE(answerer.shown.size(), std::size_t(1));
        QCOMPARE(answerer.shown[0].text, QStringLiteral("正在淘词，请等本次淘词完成后再开始"));
        QCOMPARE(answerer.shown[0].icon, QMessageBox::Information);
        QVERIFY(first->IsRunning() && !second->IsRunning());
        QVERIFY(RunEventLoopUntil([&] { return first->Model().rowCount() >= 3; }));
        QCOMPARE(second->Model().rowCount(), 0);

        // Closing a window mid-run stops its run at once; nothing more is
        // written and the next window may start.
        int rowsAfterClose = 0;
        bool closed = false;
        QObject::connect(&first->Model(), &QAbstractItemModel::rowsInserted,
                         [&] { rowsAfterClose += closed; });
        QPointer<ui::MiningWindow> alive(first);
        QVERIFY(first->close());
        closed = true;
        QVERIFY(!f.context->Mining().IsRunActive());
        const std::uint64_t requests = f.simulator.RequestCount();
        QTRY_VERIFY(alive.isNull());
        QCOMPARE(rowsAfterClose, 0);
        QCOMPARE(f.simulator.RequestCount(), requests);
        ClickStart(second);
        QVERIFY(second->IsRunning());
        second->close();
    }

    void ClosingTheMainWindowStopsEveryRun() {
        sim::SimulatorOptions options;
        options.stallRate = 1.0;  // every fetch hangs
        Fixture f(options);
        ui::MiningWindow* first = f.Open();
        QPointer<ui::MiningWindow> second(f.Open());
        Fill(first, QStringLiteral("连衣裙"), QStringLiteral("裙"), 2);
        ClickStart(first);
        QTRY_VERIFY(f.simulator.RequestCount() >= 1);

        QElapsedTimer clock;
        clock.start();
        f.mainWindow->close();
        qInfo("closing the main window during a stalled mining run took %lld ms", clock.elapsed());
        QVERIFY(Fixture::Windows().empty());
        QVERIFY(!f.context->Mining().IsRunActive());
        QTRY_VERIFY(second.isNull());
        QCOMPARE(f.simulator.RequestCount(), std::uint64_t(1));
    }

    void ParallelRunNeverWaitsForTheWindowAndMatchesOneJob() {
        std::vector<std::vector<std::string>> lists;
        for (const int jobs : {1, 8}) {
            Fixture f;
            f.context->SetJobs(jobs);
            ui::MiningWindow* window = f.Open();
            Fill(window, QStringLiteral("连衣裙"), QStringLiteral("裙"), 1);
            ClickStart(window);
            // The UI thread serves no events until the run has ended.
            QElapsedTimer clock;
            clock.start();
            while (f.context->Mining().IsRunActive() && clock.elapsed() < 60000)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            QVERIFY(!f.context->Mining().IsRunActive());
            QCOMPARE(window->Model().rowCount(), 0);  // every row still queued
            QVERIFY(RunEventLoopUntil([&] { return !window->IsRunning(); }));
            QCOMPARE(StatusText(window), QStringLiteral("二级淘词"));
            std::vector<std::string> rows;
            for (int row = 0; row < window->Model().rowCount(); ++row)
                rows.push_back(window->Model().Data().Cell(row, 0) + " " +
                               window->Model().Data().Cell(row, 1));
            QVERIFY(rows.size() > 50);
            lists.push_back(std::move(rows));
            window->close();
        }
        QCOMPARE(lists[1], lists[0]);
    }
};

QTEST_MAIN(MiningWindowTest)
#include "MiningWindowTest.moc"
