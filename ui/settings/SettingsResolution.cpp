#include "ui/settings/SettingsResolution.h"

#include <QFile>

#include <optional>

#include "ui/startup/AppContext.h"
#include "ui/startup/StartupOptions.h"

namespace mofeng::ui {
namespace {

std::optional<std::string> Given(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return std::nullopt;
    }
    return trimmed.toStdString();
}

// Endpoint texts the seller remembered, used only where neither the command
// line, --demo nor the environment names the endpoint.
void AddRememberedEndpoints(const SettingsTexts& remembered, const net::Environment& environment,
                            net::SettingsSources& sources) {
    struct Endpoint {
        std::optional<std::string> net::SettingsSources::*given;
        const char* variable;
        QString SettingsTexts::*text;
    };
    const Endpoint endpoints[] = {
        {&net::SettingsSources::searchUrl, "MOFENG_SEARCH_URL", &SettingsTexts::searchUrl},
        {&net::SettingsSources::indexUrl, "MOFENG_INDEX_URL", &SettingsTexts::indexUrl},
        {&net::SettingsSources::suggestUrl, "MOFENG_SUGGEST_URL", &SettingsTexts::suggestUrl},
        {&net::SettingsSources::h5Url, "MOFENG_H5_URL", &SettingsTexts::h5Url},
    };
    for (const Endpoint& endpoint : endpoints) {
        const bool fromEnvironment = environment && environment(endpoint.variable) != nullptr;
        if (!(sources.*endpoint.given) && !sources.demo && !fromEnvironment) {
            sources.*endpoint.given = Given(remembered.*endpoint.text);
        }
    }
}

}  // namespace

net::SettingsSources SourcesFromTexts(const SettingsTexts& texts) {
    net::SettingsSources sources;
    sources.searchUrl = Given(texts.searchUrl);
    sources.indexUrl = Given(texts.indexUrl);
    sources.suggestUrl = Given(texts.suggestUrl);
    sources.h5Url = Given(texts.h5Url);
    sources.searchSource = Given(texts.searchSource);
    sources.retries = Given(texts.retries);
    sources.delayMs = Given(texts.delayMs);
    sources.connectTimeoutS = Given(texts.connectTimeoutS);
    sources.stallTimeoutS = Given(texts.stallTimeoutS);
    if (!texts.cookieFile.trimmed().isEmpty()) {
        sources.cookieFile = QFile::encodeName(texts.cookieFile.trimmed()).toStdString();
    }
    if (!texts.caFile.trimmed().isEmpty()) {
        sources.caFile = QFile::encodeName(texts.caFile.trimmed()).toStdString();
    }
    sources.cookie = Given(texts.cookie);
    sources.proxy = Given(texts.proxy);
    return sources;
}

bool ResolveStartupSettings(const StartupOptions& options, const net::Environment& environment,
                            const SettingsTexts& remembered, StartupSettings& resolved,
                            std::string& error) {
    net::SettingsSources sources;
    sources.demo = options.demo;
    sources.searchUrl = options.searchUrl;
    sources.indexUrl = options.indexUrl;
    sources.suggestUrl = options.suggestUrl;

    SettingsTexts fetchOnly = remembered;
    fetchOnly.cookie.clear();  // never remembered; ignore one handed in
    net::SettingsSources withRemembered = SourcesFromTexts(fetchOnly);
    withRemembered.demo = sources.demo;
    withRemembered.searchUrl = sources.searchUrl;
    withRemembered.indexUrl = sources.indexUrl;
    withRemembered.suggestUrl = sources.suggestUrl;
    AddRememberedEndpoints(remembered, environment, withRemembered);

    resolved = StartupSettings{};
    std::string why;
    if (net::ResolveRunSettings(withRemembered, environment, resolved.run, why)) {
        resolved.applied = fetchOnly;
        return true;
    }
    // Without the remembered values; an error now is the command line's or
    // the environment's own.
    if (!net::ResolveRunSettings(sources, environment, resolved.run, error)) {
        return false;
    }
    resolved.ignored = why;
    resolved.applied = SettingsTexts{};
    resolved.applied.jobs = remembered.jobs;
    resolved.applied.restoreSession = remembered.restoreSession;
    resolved.applied.suggestionTags = remembered.suggestionTags;
    resolved.applied.suggestWeight = remembered.suggestWeight;
    return true;
}

bool ResolveDialogTexts(const AppContext& context, const SettingsTexts& texts,
                        net::RunSettings& settings, std::string& error) {
    if (!net::ResolveRunSettings(SourcesFromTexts(texts), nullptr, settings, error)) {
        return false;
    }
    // The demo's test authority stays trusted while its simulator serves.
    if (const sim::Simulator* demo = context.DemoSimulator();
        demo != nullptr && settings.fetch.caFile.empty()) {
        settings.fetch.caFile = demo->TestAuthorityCaFile();
    }
    return true;
}

bool ApplySettingsTexts(AppContext& context, const SettingsTexts& texts, std::string& error) {
    net::RunSettings settings;
    if (!ResolveDialogTexts(context, texts, settings, error)) {
        return false;
    }
    settings.Apply();
    context.SetEndpoints(settings.endpoints);
    context.SetJobs(texts.jobs);
    context.SetSettings(texts);
    return true;
}

}  // namespace mofeng::ui
