#include "ui/startup/WebPages.h"

#include <QDir>
#include <QFileInfo>

#include "runtime/BuildInfo.h"

namespace mofeng::ui {
namespace {

QUrl FromVariable(const char* name, const QUrl& fallback) {
    const QString text = qEnvironmentVariable(name).trimmed();
    const QUrl url(text, QUrl::StrictMode);
    if (text.isEmpty() || !url.isValid() || url.isRelative()) {
        return fallback;
    }
    return url;
}

// The help page beside the program (build tree), else in the installed data
// folder; the first when neither exists.
QString HelpPagePath(const QString& programDir) {
    const QDir dir(programDir);
    const QString besideProgram = dir.absoluteFilePath(QStringLiteral("help/index.html"));
    const QString installed = QDir::cleanPath(dir.absoluteFilePath(
        QString::fromUtf8(runtime::kDataDirFromProgramDir) + QStringLiteral("/help/index.html")));
    return !QFileInfo::exists(besideProgram) && QFileInfo::exists(installed) ? installed
                                                                             : besideProgram;
}

}  // namespace

WebPages WebPages::FromEnvironment(const QString& programDir) {
    const QUrl help = QUrl::fromLocalFile(HelpPagePath(programDir));
    QUrl tutorial = help;
    tutorial.setFragment(QStringLiteral("tutorial"));
    return WebPages{FromVariable("MOFENG_SITE_URL", help),
                    FromVariable("MOFENG_TUTORIAL_URL", tutorial)};
}

}  // namespace mofeng::ui
