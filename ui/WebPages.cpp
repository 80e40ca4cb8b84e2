#include "ui/WebPages.h"

#include <QDir>

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

}  // namespace

WebPages WebPages::FromEnvironment(const QString& programDir) {
    const QUrl help = QUrl::fromLocalFile(QDir(programDir).absoluteFilePath("help/index.html"));
    QUrl tutorial = help;
    tutorial.setFragment(QStringLiteral("tutorial"));
    return WebPages{FromVariable("MOFENG_SITE_URL", help),
                    FromVariable("MOFENG_TUTORIAL_URL", tutorial)};
}

}  // namespace mofeng::ui
