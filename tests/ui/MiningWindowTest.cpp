#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "EventLoopWait.h"
#include "mining/MiningList.h"
#include "runtime/CodePage.h"
#include "sim/Simulator.h"
#include "ui/GuiFixture.h"
#include "ui/common/KeywordListModel.h"
#include "ui/main/MainWindow.h"
#include "ui/mining/ExcludeWordsDialog.h"
#include "ui/mining/MiningWindow.h"
#include "ui/mining/MiningWindowManager.h"
#include "ui/settings/SettingsDialog.h"
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

class Fixture : public test::SimulatedMainWindow {
public:
    explicit Fixture(sim::SimulatorOptions options = {}) : SimulatedMainWindow(options) {}

    // "自动淘词" in the main window's menu; the window it opened.
    ui::MiningWindow* Open() {
        const auto before = Windows();
        window->MenuAction(QStringLiteral("自动淘词"))->trigger();
        for (ui::MiningWindow* opened : Windows()) {
            if (std::find(before.begin(), before.end(), opened) == before.end()) {
                return opened;
            }
        }
        return nullptr;
    }

    static std::vector<ui::MiningWindow*> Windows() {
        std::vector<ui::MiningWindow*> windows;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* window = qobject_cast<ui::MiningWindow*>(widget);
                window && window->isVisible()) {
                windows.push_back(window);
            }
        }
        return windows;
    }
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

QAbstractButton* BoxButton(QMessageBox* box, const QString& text) {
    for (QAbstractButton* button : box->buttons()) {
        if (button->text() == text) {
            return button;
        }
    }
    return nullptr;
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
        QCOMPARE(first->geometry().size(), QSize(448, 347));
        // Offset from the main window, and the second from the first.
        const QPoint mainCorner = f.window->frameGeometry().topLeft();
        QVERIFY(first->frameGeometry().topLeft() != mainCorner);
        QVERIFY(second->frameGeometry().topLeft() != first->frameGeometry().topLeft());
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
            if (!text.isNull()) {
                QCOMPARE(
                    control->property(qobject_cast<QComboBox*>(control) ? "currentText" : "text")
                        .toString(),
                    text);
            }
        }
        QVERIFY(!Control<QLabel>(first, u"图片框1")->pixmap().isNull());
        QCOMPARE(Control<QComboBox>(first, u"组合框1")->itemText(0), QStringLiteral("一级淘词"));
        QCOMPARE(first->Model().headerData(1, Qt::Horizontal).toString(), QStringLiteral("关键词"));
        QStringList menu;
        for (QAction* action : first->findChild<QMenu*>(QStringLiteral("菜单"))->actions()) {
            menu << action->text();
        }
        QCOMPARE(menu, (QStringList{QStringLiteral("清空关键词"), QStringLiteral("导出关键词"),
                                    QStringLiteral("传送至主窗口"), QString(),
                                    QStringLiteral("排除词…")}));
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
        QCOMPARE(Control<QPushButton>(window, u"按钮_一键淘词")->text(),
                 QStringLiteral("开始淘词"));
        QVERIFY2(window->CountsText().startsWith(
                     QStringLiteral("淘词完毕：共 %1 个关键词").arg(window->Model().rowCount())),
                 qPrintable(window->CountsText()));
        QVERIFY(window->CountsText().contains(
            QStringLiteral("已接受 %1 个关键词").arg(window->Model().rowCount())));
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
        QCOMPARE(window->CountsText(), QStringLiteral("已导出：") + QDir::toNativeSeparators(path));
        QVERIFY(file.remove());
        // A seed that would leave the program's folder writes nothing.
        Control<QLineEdit>(window, u"编辑框_关键词")->setText(QStringLiteral("../碎花"));
        window->MenuAction(QStringLiteral("导出关键词"))->trigger();
        QCOMPARE(answerer.shown.size(), std::size_t(2));
        QCOMPARE(answerer.shown[0].text, QStringLiteral("保存成功"));
        QCOMPARE(answerer.shown[1].text, QStringLiteral("保存失败"));
        QCOMPARE(answerer.shown[1].icon, QMessageBox::NoIcon);

        f.window->KeywordTable().AppendRows({{"1", "k"}});
        window->MenuAction(QStringLiteral("传送至主窗口"))->trigger();
        QCOMPARE(answerer.shown.back().text, QStringLiteral("传送完毕"));
        QCOMPARE(f.window->StatusText(), QStringLiteral("已传送 %1 个关键词至主窗口").arg(count));
        QCOMPARE(answerer.shown.back().icon, QMessageBox::Information);
        const runtime::TableData& main = f.window->Model().Data();
        QCOMPARE(main.RowCount(), count + 1);
        for (int row = 0; row < count; ++row) {
            QCOMPARE(main.Cell(row + 1, 0), std::string());
            QCOMPARE(main.Cell(row + 1, 1), rows.Cell(row, 1));
        }
        window->close();
    }

    void ShowsEachKeywordsWeightRoundedWithoutAnotherRequest() {
        sim::SimulatorOptions options;
        options.decimalCounts = options.suggestSelf = true;
        Fixture f(options);
        ui::MiningWindow* window = f.Open();
        Fill(window, QStringLiteral("碎花连衣裙"), QStringLiteral("花"), 1);
        ClickStart(window);
        QVERIFY(RunEventLoopUntil([&] { return !window->IsRunning(); }));
        // One request per expansion the line under the bar counts, no more.
        QVERIFY2(window->CountsText().contains(
                     QStringLiteral("已请求 %1 次").arg(f.simulator.RequestCount())),
                 qPrintable(window->CountsText()));

        auto* list = Control<QTableView>(window, u"超级列表框1");
        const QAbstractItemModel* shown = list->model();
        QCOMPARE(shown->headerData(2, Qt::Horizontal).toString(), QStringLiteral("联想热度"));
        const runtime::TableData& rows = window->Model().Data();
        int weighted = 0;
        for (int row = 0; row < rows.RowCount(); ++row) {
            const std::string& weight = rows.Cell(row, mining::kWeightColumn);
            const QModelIndex cell = shown->index(row, 2);
            if (weight.empty()) {
                QCOMPARE(shown->data(cell).toString(), QString());
                continue;
            }
            ++weighted;
            // Kept as the reply wrote it, shown as a whole number.
            QVERIFY2(weight.find('.') != std::string::npos, weight.c_str());
            const double value = std::stod(weight);
            QCOMPARE(QLocale().toDouble(shown->data(cell).toString()), std::round(value));
            QCOMPARE(shown->data(cell, Qt::ToolTipRole).toString(), QString::fromStdString(weight));
            QCOMPARE(shown->data(cell, Qt::TextAlignmentRole).value<Qt::Alignment>(),
                     Qt::AlignRight | Qt::AlignVCenter);
        }
        QVERIFY(weighted > rows.RowCount() / 2);
        window->close();
    }

    void ASecondRunStartsFreshAndAClearCanBeUndone() {
        Fixture f;
        ui::MiningWindow* window = f.Open();
        Fill(window, QStringLiteral("碎花连衣裙"), QStringLiteral("花"), 1);
        ClickStart(window);
        QVERIFY(RunEventLoopUntil([&] { return !window->IsRunning(); }));
        const int first = window->Model().rowCount();
        QVERIFY(first > 0);
        auto* progress = Control<QProgressBar>(window, u"进度条1");
        auto* label = Control<QLabel>(window, u"标签_状态");
        QCOMPARE(progress->value(), progress->maximum());

        // A new run starts with an empty bar and the first level's label.
        Fill(window, QStringLiteral("雪纺连衣裙"), QStringLiteral("雪"), 1);
        ClickStart(window);
        QCOMPARE(progress->value(), 0);
        QCOMPARE(label->text(), QStringLiteral("第一级："));
        QVERIFY(RunEventLoopUntil([&] { return !window->IsRunning(); }));
        const int both = window->Model().rowCount();
        QVERIFY(both >= first);

        // 清空关键词 says so and Ctrl+Z brings every row back, in order.
        std::vector<std::string> before = window->Model().Data().ColumnTexts(1);
        window->MenuAction(QStringLiteral("清空关键词"))->trigger();
        QCOMPARE(window->Model().rowCount(), 0);
        QVERIFY(window->CountsText().contains(QStringLiteral("Ctrl+Z")));
        window->MenuActions().undoClear->trigger();
        QCOMPARE(window->Model().Data().ColumnTexts(1), before);
        QVERIFY(window->CountsText().contains(QStringLiteral("共 %1 个关键词").arg(both)));
        window->MenuActions().undoClear->trigger();  // nothing left to undo
        QCOMPARE(window->Model().rowCount(), both);
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

    // Rows the run accepted while the UI thread served no events are in the
    // list when close() returns; none arrive after it.
    void ClosingShowsTheRowsAcceptedBeforeItAndNoneAfter() {
        Fixture f;
        ui::MiningWindow* window = f.Open();
        Fill(window, QStringLiteral("连衣裙"), QStringLiteral("裙"), 2);
        ClickStart(window);
        // One job: the fourth request starts after the first page was judged.
        QElapsedTimer clock;
        clock.start();
        while (f.simulator.RequestCount() < 4 && clock.elapsed() < 30000) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        QCOMPARE(window->Model().rowCount(), 0);  // every accepted row still queued
        int rowsAfterClose = 0;
        bool closed = false;
        QObject::connect(&window->Model(), &QAbstractItemModel::rowsInserted,
                         [&] { rowsAfterClose += closed; });
        QPointer<ui::MiningWindow> alive(window);
        QVERIFY(window->close());
        closed = true;
        QVERIFY(window->Model().rowCount() > 0);
        QTRY_VERIFY(alive.isNull());
        QCOMPARE(rowsAfterClose, 0);
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
        f.window->close();
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
            while (f.context->Mining().IsRunActive() && clock.elapsed() < 60000) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            QVERIFY(!f.context->Mining().IsRunActive());
            QCOMPARE(window->Model().rowCount(), 0);  // every row still queued
            QVERIFY(RunEventLoopUntil([&] { return !window->IsRunning(); }));
            QCOMPARE(StatusText(window), QStringLiteral("二级淘词"));
            std::vector<std::string> rows;
            for (int row = 0; row < window->Model().rowCount(); ++row) {
                rows.push_back(window->Model().Data().Cell(row, 0) + " " +
                               window->Model().Data().Cell(row, 1));
            }
            QVERIFY(rows.size() > 50);
            lists.push_back(std::move(rows));
            window->close();
        }
        QCOMPARE(lists[1], lists[0]);
    }

    void TheStartButtonStopsTheRunItStarted() {
        Fixture f(Slow());
        ui::MiningWindow* window = f.Open();
        Fill(window, QStringLiteral("连衣裙"), QStringLiteral("裙"), 2);
        auto* button = Control<QPushButton>(window, u"按钮_一键淘词");
        ClickStart(window);
        QCOMPARE(button->text(), QStringLiteral("停止淘词"));
        QVERIFY(RunEventLoopUntil([&] { return window->Model().rowCount() >= 3; }));
        QTRY_VERIFY(window->CountsText().contains(QStringLiteral("已请求")));
        ClickStart(window);  // now 停止淘词
        QVERIFY(RunEventLoopUntil([&] { return !window->IsRunning(); }, 10000));
        QVERIFY(!f.context->Mining().IsRunActive());
        QCOMPARE(button->text(), QStringLiteral("开始淘词"));
        const int rows = window->Model().rowCount();
        QVERIFY2(
            window->CountsText().startsWith(QStringLiteral("淘词已停止：共 %1 个关键词").arg(rows)),
            qPrintable(window->CountsText()));
        // Nothing more is fetched or written after the stop.
        const std::uint64_t requests = f.simulator.RequestCount();
        QTest::qWait(200);
        QCOMPARE(f.simulator.RequestCount(), requests);
        QCOMPARE(window->Model().rowCount(), rows);
        // The same button starts a new run.
        ClickStart(window);
        QVERIFY(window->IsRunning());
        QCOMPARE(button->text(), QStringLiteral("停止淘词"));
        window->close();
        QVERIFY(!f.context->Mining().IsRunActive());
    }

    void ExcludeWordsRefuseCandidatesAndAreRemembered() {
        QCOMPARE(ui::ParseExcludeWords(QStringLiteral(" 长  短\n红\t长\u3000蓝 ")),
                 (QStringList{QStringLiteral("长"), QStringLiteral("短"), QStringLiteral("红"),
                              QStringLiteral("蓝")}));
        QVERIFY(ui::ParseExcludeWords(QStringLiteral(" \n ")).isEmpty());

        Fixture f;
        ui::MiningWindow* window = f.Open();
        window->MenuActions().excludeWords->trigger();
        auto* dialog = window->findChild<ui::ExcludeWordsDialog*>();
        QVERIFY(dialog != nullptr && dialog->isVisible());
        dialog->findChild<QPlainTextEdit*>(QStringLiteral("excludeWords"))
            ->setPlainText(QStringLiteral("碎花 \n 长"));
        dialog->accept();
        QCOMPARE(window->ExcludeWords(),
                 (QStringList{QStringLiteral("碎花"), QStringLiteral("长")}));
        Fill(window, QStringLiteral("连衣裙"), QStringLiteral("裙"), 1);
        ClickStart(window);
        QVERIFY(RunEventLoopUntil([&] { return !window->IsRunning(); }));
        const runtime::TableData& rows = window->Model().Data();
        QVERIFY(rows.RowCount() > 10);
        for (int row = 0; row < rows.RowCount(); ++row) {
            const std::string keyword = runtime::GbkToUtf8(rows.Cell(row, 1));
            QVERIFY2(keyword.find("碎花") == std::string::npos &&
                         keyword.find("长") == std::string::npos,
                     keyword.c_str());
        }
        window->close();

        // Remembered: the next window starts with the words chosen last.
        ui::MiningWindow* next = f.Open();
        QCOMPARE(next->ExcludeWords(), (QStringList{QStringLiteral("碎花"), QStringLiteral("长")}));
        next->close();
        QSettings().remove(QLatin1String(ui::kExcludeWordsKey));

        // Without the words the same run does offer them.
        Fixture without;
        ui::MiningWindow* plain = without.Open();
        QVERIFY(plain->ExcludeWords().isEmpty());
        Fill(plain, QStringLiteral("连衣裙"), QStringLiteral("裙"), 1);
        ClickStart(plain);
        QVERIFY(RunEventLoopUntil([&] { return !plain->IsRunning(); }));
        bool offered = false;
        const runtime::TableData& all = plain->Model().Data();
        for (int row = 0; row < all.RowCount(); ++row) {
            offered |= runtime::GbkToUtf8(all.Cell(row, 1)).find("长") != std::string::npos;
        }
        QVERIFY(offered);
        plain->close();
    }

    void ResizingGrowsTheListAndTheInitialSizeKeepsEveryPlace() {
        Fixture f;
        ui::MiningWindow* window = f.Open();
        QCOMPARE(window->minimumSize(), QSize(448, 347));
        const char16_t* const fixedAbove[] = {
            u"标签1", u"编辑框_关键词", u"标签2", u"编辑框_关键词1", u"组合框1", u"按钮_一键淘词"};
        std::vector<QRect> above;
        for (const char16_t* name : fixedAbove) {
            above.push_back(Control<QWidget>(window, name)->geometry());
        }
        const std::tuple<QSize, QRect, QRect, QRect> sizes[] = {
            {{700, 600}, {7, 102, 676, 447}, {8, 551, 48, 14}, {61, 551, 623, 16}},
            {{448, 347}, {7, 102, 424, 194}, {8, 298, 48, 14}, {61, 298, 371, 16}},
        };
        for (const auto& [size, list, status, progress] : sizes) {
            window->resize(size);
            QTRY_COMPARE(Control<QWidget>(window, u"超级列表框1")->geometry(), list);
            QCOMPARE(Control<QWidget>(window, u"标签_状态")->geometry(), status);
            QCOMPARE(Control<QWidget>(window, u"进度条1")->geometry(), progress);
            auto* counts = window->findChild<QLabel*>(QStringLiteral("runCounts"));
            QCOMPARE(counts->geometry().bottom() < size.height(), true);
            QCOMPARE(counts->geometry().top() > progress.bottom(), true);
            for (std::size_t i = 0; i < above.size(); ++i) {
                QCOMPARE(Control<QWidget>(window, fixedAbove[i])->geometry(), above[i]);
            }
        }
        window->close();
    }

    void NewWindowsOpenOffsetFromTheMainWindowAndOnTheScreen() {
        const QRect screen(0, 0, 1280, 800);
        const QSize size(460, 380);
        const std::tuple<QRect, int, QPoint> cases[] = {
            {{100, 100, 700, 500}, 0, {148, 148}},   // two steps from the main window's corner
            {{100, 100, 700, 500}, 1, {172, 172}},   // each further window a step on
            {{100, 100, 700, 500}, 8, {148, 148}},   // back to the start after eight
            {{1000, 600, 700, 500}, 0, {820, 420}},  // kept on the screen
            {{-300, -50, 700, 500}, 0, {0, 0}},
        };
        for (const auto& [mainFrame, open, expected] : cases) {
            QCOMPARE(ui::OpeningPosition(mainFrame, open, size, screen), expected);
        }
        QCOMPARE(ui::OpeningPosition({10, 10, 5, 5}, 0, size, QRect()), QPoint(58, 58));
    }

    // Last: each blocked reply slows the simulator's host down for a while.
    void BlockedStreakPausesWithTheSameBox() {
        for (const bool resume : {false, true}) {
            sim::SimulatorOptions options;
            options.blockAfter = 2;
            Fixture f(options);
            ui::MiningWindow* window = f.Open();
            Fill(window, QStringLiteral("连衣裙"), QStringLiteral("裙"), 2);
            ClickStart(window);
            const auto box = [window] {
                return window->findChild<QMessageBox*>(QStringLiteral("拦截暂停"));
            };
            QTRY_VERIFY_WITH_TIMEOUT(box() != nullptr && box()->isVisible(), 30000);
            QVERIFY(box()->text().contains(QStringLiteral("「设置」")));
            QVERIFY(window->IsRunning());
            QVERIFY2(window->CountsText().contains(QStringLiteral("被拦截 3")),
                     qPrintable(window->CountsText()));
            const std::uint64_t requestsAtPause = f.simulator.RequestCount();
            if (!resume) {
                BoxButton(box(), QStringLiteral("停止"))->click();
                QVERIFY(RunEventLoopUntil([&] { return !window->IsRunning(); }, 10000));
                QVERIFY2(window->CountsText().startsWith(QStringLiteral("被淘宝拦截，淘词已停止")),
                         qPrintable(window->CountsText()));
                QCOMPARE(f.simulator.RequestCount(), requestsAtPause);
                window->close();
                continue;
            }
            // 设置… opens the settings over the window and asks again after.
            BoxButton(box(), QStringLiteral("设置…"))->click();
            QTRY_VERIFY(window->findChild<ui::SettingsDialog*>() != nullptr);
            QVERIFY(box() == nullptr || !box()->isVisible());
            window->findChild<ui::SettingsDialog*>()->reject();
            QTRY_VERIFY(box() != nullptr && box()->isVisible());
            QCOMPARE(f.simulator.RequestCount(), requestsAtPause);
            BoxButton(box(), QStringLiteral("继续"))->click();
            QTRY_VERIFY_WITH_TIMEOUT(f.simulator.RequestCount() > requestsAtPause, 30000);
            // 停止淘词 ends the paced wait at once.
            ClickStart(window);
            QVERIFY(RunEventLoopUntil([&] { return !window->IsRunning(); }, 10000));
            QVERIFY(window->CountsText().startsWith(QStringLiteral("淘词已停止")));
            window->close();
        }
    }

    void ClosingTheWindowReleasesAPausedRun() {
        sim::SimulatorOptions options;
        options.blockAfter = 1;
        Fixture f(options);
        ui::MiningWindow* window = f.Open();
        Fill(window, QStringLiteral("连衣裙"), QStringLiteral("裙"), 2);
        ClickStart(window);
        QTRY_VERIFY_WITH_TIMEOUT(
            window->findChild<QMessageBox*>(QStringLiteral("拦截暂停")) != nullptr, 30000);
        QPointer<ui::MiningWindow> alive(window);
        QVERIFY(window->close());  // answers 停止, so the worker is joined
        QVERIFY(!f.context->Mining().IsRunActive());
        QTRY_VERIFY(alive.isNull());
    }
};

int main(int argc, char** argv) {
    // A HOME of its own: the windows remember their exclude words.
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("mofeng-mining-test"));
    MiningWindowTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "MiningWindowTest.moc"
