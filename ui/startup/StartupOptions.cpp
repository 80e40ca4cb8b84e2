#include "ui/startup/StartupOptions.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>

namespace mofeng::ui {
namespace {

// Reads one URL option; false (with error set) when it is given but unusable.
bool ReadBaseUrl(const QCommandLineParser& parser, const QCommandLineOption& option,
                 std::optional<std::string>& target, QString& error) {
    if (!parser.isSet(option)) {
        return true;
    }
    const QString value = parser.value(option);
    const std::string normalised = net::NormalizeBaseUrl(value.toStdString());
    if (normalised.empty()) {
        error = QStringLiteral(
                    "invalid --%1 value \"%2\": expected http://host[:port] or "
                    "https://host[:port]")
                    .arg(option.names().constFirst(), value);
        return false;
    }
    target = normalised;
    return true;
}

}  // namespace

ParsedStartupOptions ParseStartupOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    // "-platform offscreen" is one option, as Qt reads it, not seven letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("墨枫: keyword research for the Taobao marketplace."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Answer all endpoints from a simulator started "
                                                 "inside the program on 127.0.0.1."));
    const QCommandLineOption https(
        QStringLiteral("https"),
        QStringLiteral(
            "With --demo: serve it over HTTPS, trusting a test authority made at start."));
    const QCommandLineOption today(
        QStringLiteral("today"),
        QStringLiteral("With --demo: answer as today's servers do (HTTP upgraded to HTTPS, the "
                       "search page behind a login, no trend endpoint)."));
    const QCommandLineOption searchUrl(QStringLiteral("search-url"),
                                       QStringLiteral("Base URL of the search page."),
                                       QStringLiteral("url"));
    const QCommandLineOption indexUrl(QStringLiteral("index-url"),
                                      QStringLiteral("Base URL of the trend index endpoint."),
                                      QStringLiteral("url"));
    const QCommandLineOption suggestUrl(QStringLiteral("suggest-url"),
                                        QStringLiteral("Base URL of the suggestion endpoint."),
                                        QStringLiteral("url"));
    const QCommandLineOption keywordFile(
        QStringLiteral("keyword-file"),
        QStringLiteral("Offer this keyword file in the first 导入关键词 dialog."),
        QStringLiteral("file"));
    QCommandLineOption platform(QStringLiteral("platform"), QString(), QStringLiteral("name"));
    platform.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({demo, https, today, searchUrl, indexUrl, suggestUrl, keywordFile, platform});

    ParsedStartupOptions result;
    if (!parser.parse(arguments)) {
        result.error = parser.errorText();
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.error = QStringLiteral("unexpected argument \"%1\"")
                           .arg(parser.positionalArguments().constFirst());
        return result;
    }
    StartupOptions& options = result.options;
    options.showHelp = parser.isSet(help) || parser.isSet(QStringLiteral("help-all"));
    options.showVersion = parser.isSet(version);
    if (options.showHelp) {
        // Read before any QApplication exists, Qt cannot name the program.
        options.helpText = parser.helpText().replace(
            QStringLiteral("<executable_name>"),
            QFileInfo(arguments.value(0, QStringLiteral("mofeng"))).fileName());
    }
    options.demo = parser.isSet(demo);
    options.https = parser.isSet(https);
    options.today = parser.isSet(today);
    if ((options.https || options.today) && !options.demo) {
        result.error = QStringLiteral("--https and --today need --demo");
        return result;
    }
    options.keywordFile = parser.value(keywordFile);
    options.platform = parser.value(platform);
    if (!ReadBaseUrl(parser, searchUrl, options.searchUrl, result.error) ||
        !ReadBaseUrl(parser, indexUrl, options.indexUrl, result.error) ||
        !ReadBaseUrl(parser, suggestUrl, options.suggestUrl, result.error)) {
        return result;
    }
    return result;
}

QString MissingDisplayReason(const QString& platformOption,
                             const std::function<QString(const char*)>& environment) {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return {};  // the desktop is always there
#else
    const bool x11 = !environment("DISPLAY").isEmpty();
    const bool wayland = !environment("WAYLAND_DISPLAY").isEmpty();
    const QString platforms =
        platformOption.isEmpty() ? environment("QT_QPA_PLATFORM") : platformOption;
    // Qt tries the ';'-separated platforms in turn; one usable is enough.
    bool needsDisplay = true;
    for (const QString& entry : platforms.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString name = entry.section(QLatin1Char(':'), 0, 0).trimmed();
        if (name.startsWith(QLatin1String("xcb"))) {
            needsDisplay = needsDisplay && !x11;
        } else if (name.startsWith(QLatin1String("wayland"))) {
            needsDisplay = needsDisplay && !wayland;
        } else if (!name.isEmpty()) {
            return {};  // offscreen, minimal, vnc, eglfs…: no display server needed
        }
    }
    if (platforms.trimmed().isEmpty()) {
        needsDisplay = !x11 && !wayland;
    }
    if (!needsDisplay) {
        return {};
    }
    return QStringLiteral(
        "cannot open a window: no display (DISPLAY and WAYLAND_DISPLAY are not "
        "set); run it in a desktop session, or use mofeng-cli");
#endif
}

net::EndpointConfig ResolveEndpoints(const StartupOptions& options,
                                     net::EndpointConfig fromEnvironment,
                                     const std::string& demoBase) {
    net::EndpointConfig endpoints = std::move(fromEnvironment);
    if (options.demo && !demoBase.empty()) {
        endpoints.searchBase = demoBase;
        endpoints.indexBase = demoBase;
        endpoints.suggestBase = demoBase;
    }
    if (options.searchUrl) {
        endpoints.searchBase = *options.searchUrl;
    }
    if (options.indexUrl) {
        endpoints.indexBase = *options.indexUrl;
    }
    if (options.suggestUrl) {
        endpoints.suggestBase = *options.suggestUrl;
    }
    return endpoints;
}

}  // namespace mofeng::ui
