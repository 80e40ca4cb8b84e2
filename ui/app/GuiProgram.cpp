#include "ui/app/GuiProgram.h"
#include "ui/common/FilePath.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QMessageBox>
#include <QStandardPaths>
#include <QStringList>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "net/RunSettings.h"
#include "runtime/BuildInfo.h"
#include "runtime/RuntimeError.h"
#include "sim/Simulator.h"
#include "ui/app/SessionStartup.h"
#include "ui/common/GbkQt.h"
#include "ui/common/LightTheme.h"
#include "ui/common/UiResources.h"
#include "ui/main/MainWindow.h"
#include "ui/settings/RememberedSettings.h"
#include "ui/settings/SettingsResolution.h"
#include "ui/startup/AppContext.h"
#include "ui/startup/HomeTrendPrefetch.h"
#include "ui/startup/QtTranslations.h"
#include "ui/startup/StartupOptions.h"

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

// A display that is named but cannot be reached makes Qt give up inside the
// QApplication constructor; this says so in one line instead of Qt's abort.
void ExitWithoutPlatform(QtMsgType type, const QMessageLogContext&, const QString&) {
    if (type == QtFatalMsg) {
        PrintLine(stderr, QStringLiteral("mofeng: cannot open a window: the display cannot be "
                                         "reached; run it in a desktop session, or use "
                                         "mofeng-cli"));
        std::_Exit(1);
    }
}

std::unique_ptr<QApplication> StartQApplication(int& argc, char** argv) {
    const QtMessageHandler previous = qInstallMessageHandler(ExitWithoutPlatform);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    return application;
}

}  // namespace

app::RunFolder EnterRunFolder(AppContext& context, const QString& programDir,
                              const QString& documentsDir,
                              const app::FolderWritableCheck& isWritable) {
    const app::RunFolder folder =
        app::ChooseRunFolder(ToFilePath(programDir), ToFilePath(documentsDir), isWritable);
    QDir::setCurrent(QString::fromStdU16String(folder.path.u16string()));
    context.SetRunDirectory(folder.path);
    return folder;
}

int RunGuiProgram(int argc, char** argv) {
    QCoreApplication::setApplicationName(QStringLiteral("mofeng"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(runtime::kVersion));
    const QDir launchDir = QDir::current();  // relative paths on the command line
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    // Read before Qt starts, so that --help and --version need no display. A
    // line this rejects may still hold Qt's own options (-style, -reverse…):
    // it is judged again below, once Qt has taken those out.
    const ParsedStartupOptions early = ParseStartupOptions(arguments);
    if (early.error.isEmpty() && (early.options.showHelp || early.options.showVersion)) {
        PrintLine(stdout, early.options.showHelp
                              ? early.options.helpText
                              : QStringLiteral("mofeng ") + QCoreApplication::applicationVersion());
        return 0;
    }
    const QString noDisplay = MissingDisplayReason(
        early.options.platform, [](const char* name) { return qEnvironmentVariable(name); });
    if (!noDisplay.isEmpty()) {
        PrintLine(stderr, QStringLiteral("mofeng: ") + noDisplay);
        return 1;
    }
    const std::unique_ptr<QApplication> application = StartQApplication(argc, argv);
    QApplication& app = *application;
    const ParsedStartupOptions parsed = ParseStartupOptions(QCoreApplication::arguments());
    if (!parsed.error.isEmpty()) {
        PrintLine(stderr, QStringLiteral("mofeng: ") + parsed.error);
        return 2;
    }
    const StartupOptions& options = parsed.options;
    if (options.showHelp || options.showVersion) {  // after a Qt option
        PrintLine(stdout, options.showHelp
                              ? options.helpText
                              : QStringLiteral("mofeng ") + QCoreApplication::applicationVersion());
        return 0;
    }
    const QString programDir = QCoreApplication::applicationDirPath();

    // The same resolution as the command-line program: a malformed
    // MOFENG_*_URL is refused here too instead of quietly replaced. What the
    // settings dialog remembered comes after the environment.
    StartupSettings startup;
    std::string error;
    if (!ResolveStartupSettings(options, net::ProcessEnvironment(), LoadRememberedSettings(),
                                startup, error)) {
        PrintLine(stderr, QStringLiteral("mofeng: ") + QString::fromStdString(error));
        return 2;
    }
    if (!startup.ignored.empty()) {
        PrintLine(stderr, QStringLiteral("mofeng: remembered settings not used: ") +
                              QString::fromStdString(startup.ignored));
    }
    net::RunSettings& settings = startup.run;
    std::unique_ptr<sim::Simulator> simulator;
    if (settings.NeedsDemo()) {
        const sim::SimulatorOptions demo = sim::DemoOptions(options.https, options.today);
        simulator = std::make_unique<sim::Simulator>(demo);
        if (!simulator->Start()) {
            PrintLine(stderr, QStringLiteral("mofeng: the --demo simulator could not start"));
            return 1;
        }
        settings.UseDemoBase(sim::DemoBase(*simulator));
        if (demo.testAuthority) {
            settings.fetch.caFile = simulator->TestAuthorityCaFile();
        }
    }
    settings.Apply();
    AppContext context(settings.endpoints, WebPages::FromEnvironment(programDir),
                       std::move(simulator));
    context.SetSettings(startup.applied);
    context.SetJobs(startup.applied.jobs);
    EnterRunFolder(context, programDir,
                   QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                   app::IsFolderWritable);
    runtime::SetRuntimeErrorHandler(ShowRuntimeErrorAndExit);

    InitUiResources();
    ApplyLightTheme(app);
    InstallQtTranslations(app);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
    int exitCode = 0;
    {
        MainWindow window(context);
        window.RememberBetweenRuns();
        if (!options.keywordFile.isEmpty()) {
            window.OfferImportFile(launchDir.absoluteFilePath(options.keywordFile));
        }
        StartSession(window);
        window.show();
        StartHomeTrendPrefetch(context.Tasks(), context.Endpoints());
        exitCode = QApplication::exec();
    }
    return exitCode;
}

}  // namespace mofeng::ui
