// Rows per second of the index query run in the real main window against the
// in-process simulator (no added latency): from choosing 开始查询指数 to the
// completion message. Usage: bench_gui_query [rows]  (offscreen is fine)
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <string>

#include "runtime/CodePage.h"
#include "sim/Simulator.h"
#include "ui/AppContext.h"
#include "ui/IndexQueryController.h"
#include "ui/MainWindow.h"

using namespace mofeng;

namespace {

QMessageBox* VisibleBox() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box != nullptr && box->isVisible())
            return box;
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

    sim::Simulator simulator;
    if (!simulator.Start())
        return 1;
    net::EndpointConfig endpoints;
    endpoints.searchBase = endpoints.indexBase = endpoints.suggestBase = simulator.BaseUrl();
    ui::AppContext context(endpoints,
                           ui::WebPages::FromEnvironment(QCoreApplication::applicationDirPath()));
    ui::InstallIndexQuery(context);
    ui::MainWindow window(context);
    window.show();

    QTemporaryDir folder;
    std::string lines;
    const char* const words[] = {"连衣裙", "衬衫", "牛仔裤", "凉鞋", "双肩包"};
    for (int i = 0; i < rows; ++i)
        lines += runtime::Utf8ToGbk(words[i % 5]) + std::to_string(i) + "\r\n";
    QFile file(folder.filePath(QStringLiteral("keywords.txt")));
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(lines.data(), static_cast<qint64>(lines.size()));
    file.close();
    window.ImportFile(file.fileName());
    WaitUntil([&] { return window.Model().rowCount() == rows; });

    QElapsedTimer timer;
    timer.start();
    window.MenuAction(QStringLiteral("开始查询指数"))->trigger();
    WaitUntil([] { return VisibleBox() != nullptr; });
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    std::printf("GUI query run: %d rows in %.2f s = %.0f rows/s\n", rows, seconds, rows / seconds);
    VisibleBox()->accept();
    return 0;
}
