// The index query run in the real main window against the in-process
// simulator (no added latency): rows per second from choosing 开始查询指数 to
// the completion message (or for a time limit), how long the pop-up menu takes
// to open and the worst lateness of a 10 ms timer while the run fills the
// list, and how long a column sort of the filled list holds the UI thread,
// also while the filter bar narrows the list.
// Usage: bench_gui_query [rows] [jobs] [seconds]  (offscreen is fine)
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "runtime/CodePage.h"
#include "sim/Simulator.h"
#include "ui/main/IndexQueryController.h"
#include "ui/main/MainWindow.h"
#include "ui/startup/AppContext.h"

using namespace mofeng;

namespace {

QMessageBox* VisibleBox() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box != nullptr && box->isVisible()) {
            return box;
        }
    }
    return nullptr;
}

// Runs the event loop until done() holds.
template <typename Done>
void WaitUntil(Done done) {
    while (!done()) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    const int jobs = argc > 2 ? std::atoi(argv[2]) : 1;
    const double limitSeconds = argc > 3 ? std::atof(argv[3]) : 0;  // 0: to the end

    sim::Simulator simulator;
    if (!simulator.Start()) {
        return 1;
    }
    net::EndpointConfig endpoints;
    endpoints.searchBase = endpoints.indexBase = endpoints.suggestBase = simulator.BaseUrl();
    ui::AppContext context(endpoints,
                           ui::WebPages::FromEnvironment(QCoreApplication::applicationDirPath()));

    context.SetJobs(jobs);
    ui::MainWindow window(context);
    window.show();

    QTemporaryDir folder;
    std::string lines;
    const char* const words[] = {"连衣裙", "衬衫", "牛仔裤", "凉鞋", "双肩包"};
    for (int i = 0; i < rows; ++i) {
        lines += runtime::Utf8ToGbk(words[i % 5]) + std::to_string(i) + "\r\n";
    }
    QFile file(folder.filePath(QStringLiteral("keywords.txt")));
    if (!file.open(QIODevice::WriteOnly)) {
        return 1;
    }
    file.write(lines.data(), static_cast<qint64>(lines.size()));
    file.close();
    window.ImportFile(file.fileName());
    WaitUntil([&] { return window.Model().rowCount() == rows; });

    auto* menu = qobject_cast<QMenu*>(window.MenuAction(QStringLiteral("清空数据"))->parent());
    QElapsedTimer sinceTick;
    qint64 worstTickGap = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { worstTickGap = std::max(worstTickGap, sinceTick.restart()); });
    double worstMenuMs = 0;
    int menuOpenings = 0;
    QTimer menuProbe;
    QObject::connect(&menuProbe, &QTimer::timeout, [&] {
        QElapsedTimer opening;
        opening.start();
        menu->popup(window.mapToGlobal(QPoint(200, 200)));
        while (!menu->isVisible()) {
            QApplication::processEvents(QEventLoop::AllEvents, 1);
        }
        QApplication::processEvents();  // its first paint
        worstMenuMs = std::max(worstMenuMs, static_cast<double>(opening.nsecsElapsed()) / 1e6);
        ++menuOpenings;
        menu->hide();
    });

    auto& controller = window.Query();
    QElapsedTimer timer;
    timer.start();
    window.MenuAction(QStringLiteral("开始查询指数"))->trigger();
    ticker.start(10);
    sinceTick.start();
    menuProbe.start(200);
    WaitUntil([&] {
        return VisibleBox() != nullptr ||
               (limitSeconds > 0 && static_cast<double>(timer.elapsed()) / 1e3 >= limitSeconds);
    });
    const int done = VisibleBox() != nullptr ? rows : controller.RowsDone();
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    ticker.stop();
    menuProbe.stop();
    std::printf("GUI query run, %d job(s): %d of %d rows in %.2f s = %.0f rows/s\n", jobs, done,
                rows, seconds, done / seconds);
    std::printf("  pop-up menu opened %d times during the run, slowest %.1f ms\n", menuOpenings,
                worstMenuMs);
    std::printf("  worst gap between 10 ms timer ticks: %lld ms\n", worstTickGap);
    if (VisibleBox() != nullptr) {
        VisibleBox()->accept();
    } else {
        controller.StopRun();
        WaitUntil([&] { return window.Tasks().RunningCount() == 0; });
    }
    QApplication::processEvents();

    for (const int column : {2, 1}) {
        QElapsedTimer sorting;
        sorting.start();
        window.SortByColumn(column);
        QApplication::processEvents();
        std::printf("  sort of the %d-row list by column %d held the UI thread %.1f ms\n", rows,
                    column, static_cast<double>(sorting.nsecsElapsed()) / 1e6);
    }

    // The filter bar over the filled list: one edit of the keyword field
    // (a fifth of the rows pass), a sort while it filters, and hiding it.
    auto timed = [](const char* what, auto&& step) {
        QElapsedTimer clock;
        clock.start();
        step();
        QApplication::processEvents();
        std::printf("  %s held the UI thread %.1f ms\n", what,
                    static_cast<double>(clock.nsecsElapsed()) / 1e6);
    };
    window.ShowFilter();
    auto* keyword = window.findChild<QLineEdit*>(QStringLiteral("filterKeyword"));
    timed("filtering by a keyword", [&] { keyword->setText(QStringLiteral("连衣裙")); });
    std::printf("  the filter shows %d of %d rows\n", window.List().model()->rowCount(), rows);
    timed("a sort while filtering", [&] { window.SortByColumn(3); });
    timed("hiding the filter", [&] { window.HideFilter(); });
    return 0;
}
