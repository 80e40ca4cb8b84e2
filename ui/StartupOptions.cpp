#include "ui/StartupOptions.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

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
    parser.setApplicationDescription(
        QStringLiteral("墨枫: keyword research for the Taobao marketplace."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Answer all endpoints from a simulator started "
                                                 "inside the program on 127.0.0.1."));
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
    parser.addOptions({demo, searchUrl, indexUrl, suggestUrl, keywordFile});

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
        options.helpText = parser.helpText();
    }
    options.demo = parser.isSet(demo);
    options.keywordFile = parser.value(keywordFile);
    if (!ReadBaseUrl(parser, searchUrl, options.searchUrl, result.error) ||
        !ReadBaseUrl(parser, indexUrl, options.indexUrl, result.error) ||
        !ReadBaseUrl(parser, suggestUrl, options.suggestUrl, result.error)) {
        return result;
    }
    return result;
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
