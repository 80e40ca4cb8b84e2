#include "ui/GuiProgram.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QMessageBox>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "net/RunSettings.h"
#include "runtime/RuntimeError.h"
#include "sim/Simulator.h"
#include "ui/AppContext.h"
#include "ui/GbkQt.h"
#include "ui/HomeTrendPrefetch.h"
#include "ui/IndexQueryController.h"
#include "ui/LightTheme.h"
#include "ui/MainWindow.h"
#include "ui/MiningWindowOpener.h"
#include "ui/StartupOptions.h"
#include "ui/UiResources.h"

namespace mofeng::ui {
namespace {

void PrintLine(std::FILE* stream, const QString& text) {
    std::fprintf(stream, "%s\n", text.toLocal8Bit().constData());
}

// Shows the error (GBK text) on the UI thread, then ends the process with -1.
void ShowRuntimeErrorAndExit(const std::string& message) {
    const QString text =
        QStringLiteral("运行时出错!\n\n错误信息：") + FromGbk(message) + QStringLiteral("\n");
    if (qApp == nullptr) {  // after the event loop's application is gone
        PrintLine(stderr, text);
        std::_Exit(-1);
    }
    const auto show = [text] { QMessageBox::critical(nullptr, QStringLiteral("信息："), text); };
    if (QThread::currentThread() == qApp->thread()) {
        show();
    } else {
        QMetaObject::invokeMethod(qApp, show, Qt::BlockingQueuedConnection);
    }
    std::fflush(nullptr);
    std::_Exit(-1);
}

}  // namespace

int RunGuiProgram(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("mofeng"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.1"));
    const QString programDir = QCoreApplication::applicationDirPath();
    const QDir launchDir = QDir::current();  // relative paths on the command line
    QDir::setCurrent(programDir);

    const ParsedStartupOptions parsed = ParseStartupOptions(QCoreApplication::arguments());
    if (!parsed.error.isEmpty()) {
        PrintLine(stderr, QStringLiteral("mofeng: ") + parsed.error);
        return 2;
    }
    const StartupOptions& options = parsed.options;
    if (options.showHelp || options.showVersion) {
        PrintLine(stdout, options.showHelp ? options.helpText : QStringLiteral("mofeng 1.1"));
        return 0;
    }

    // The same resolution as the command-line program: a malformed
    // MOFENG_*_URL is refused here too instead of quietly replaced.
    net::SettingsSources sources;
    sources.demo = options.demo;
    sources.searchUrl = options.searchUrl;
    sources.indexUrl = options.indexUrl;
    sources.suggestUrl = options.suggestUrl;
    net::RunSettings settings;
    std::string error;
    if (!net::ResolveRunSettings(sources, net::ProcessEnvironment(), settings, error)) {
        PrintLine(stderr, QStringLiteral("mofeng: ") + QString::fromStdString(error));
        return 2;
    }
    std::unique_ptr<sim::Simulator> simulator;
    if (settings.NeedsDemo()) {
        simulator = std::make_unique<sim::Simulator>();
        if (!simulator->Start()) {
            PrintLine(stderr, QStringLiteral("mofeng: the --demo simulator could not start"));
            return 1;
        }
        settings.UseDemoBase(simulator->BaseUrl());
    }
    settings.Apply();
    AppContext context(settings.endpoints, WebPages::FromEnvironment(programDir),
                       std::move(simulator));
    runtime::SetRuntimeErrorHandler(ShowRuntimeErrorAndExit);
    InstallIndexQuery(context);
    InstallMiningWindow(context);

    InitUiResources();
    ApplyLightTheme(app);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
    int exitCode = 0;
    {
        MainWindow window(context);
        if (!options.keywordFile.isEmpty())
            window.OfferImportFile(launchDir.absoluteFilePath(options.keywordFile));
        window.show();
        StartHomeTrendPrefetch(context.Tasks(), context.Endpoints());
        exitCode = QApplication::exec();
    }
    return exitCode;
}

}  // namespace mofeng::ui
