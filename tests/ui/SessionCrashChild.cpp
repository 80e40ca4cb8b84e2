// Runs the main window with its session and keeps adding result rows, as a
// query run does, printing how many it has added, until it is killed.
#include <QApplication>
#include <QTimer>

#include <cstdio>

#include "ui/app/SessionStartup.h"
#include "ui/main/MainWindow.h"
#include "ui/startup/AppContext.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("mofeng-session-test"));
    mofeng::ui::AppContext context({}, {});
    mofeng::ui::MainWindow window(context);
    mofeng::ui::StartSession(window);
    int added = 0;
    QTimer rows;
    QObject::connect(&rows, &QTimer::timeout, [&] {
        ++added;
        const std::string n = std::to_string(added);
        window.Model().AppendRows({{n, "kw" + n, n, "1", "2", "  --", "3", "0.5"}});
        std::printf("%d\n", added);
        std::fflush(stdout);
    });
    rows.start(2);
    return QApplication::exec();
}
