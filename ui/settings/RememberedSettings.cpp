#include "ui/settings/RememberedSettings.h"

#include <QSettings>

namespace mofeng::ui {
namespace {

struct TextKey {
    const char* key;
    QString SettingsTexts::*text;
};

// Every remembered text; the cookie is deliberately absent.
const TextKey kTextKeys[] = {
    {kRetriesKey, &SettingsTexts::retries},
    {kDelayMsKey, &SettingsTexts::delayMs},
    {kConnectTimeoutKey, &SettingsTexts::connectTimeoutS},
    {kStallTimeoutKey, &SettingsTexts::stallTimeoutS},
    {kCookieFileKey, &SettingsTexts::cookieFile},
    {kProxyKey, &SettingsTexts::proxy},
    {kCaFileKey, &SettingsTexts::caFile},
    {kSearchUrlKey, &SettingsTexts::searchUrl},
    {kIndexUrlKey, &SettingsTexts::indexUrl},
    {kSuggestUrlKey, &SettingsTexts::suggestUrl},
    {kH5UrlKey, &SettingsTexts::h5Url},
    {kSearchSourceKey, &SettingsTexts::searchSource},
};

}  // namespace

SettingsTexts LoadRememberedSettings() {
    const QSettings settings;
    SettingsTexts texts;
    for (const TextKey& entry : kTextKeys) {
        texts.*entry.text = settings.value(QLatin1String(entry.key)).toString().trimmed();
    }
    texts.jobs = std::clamp(settings.value(QLatin1String(kJobsKey), 1).toInt(), 1, 16);
    texts.restoreSession = settings.value(QLatin1String(kRestoreSessionKey), true).toBool();
    texts.suggestionTags = settings.value(QLatin1String(kSuggestionTagsKey), false).toBool();
    texts.suggestWeight = settings.value(QLatin1String(kSuggestWeightKey), false).toBool();
    return texts;
}

void RememberSettings(const SettingsTexts& entered, const SettingsTexts& shown) {
    QSettings settings;
    for (const TextKey& entry : kTextKeys) {
        const QString text = (entered.*entry.text).trimmed();
        if (text == (shown.*entry.text).trimmed()) {
            continue;
        }
        if (text.isEmpty()) {
            settings.remove(QLatin1String(entry.key));
        } else {
            settings.setValue(QLatin1String(entry.key), text);
        }
    }
    settings.setValue(QLatin1String(kJobsKey), entered.jobs);
    settings.setValue(QLatin1String(kRestoreSessionKey), entered.restoreSession);
    settings.setValue(QLatin1String(kSuggestionTagsKey), entered.suggestionTags);
    settings.setValue(QLatin1String(kSuggestWeightKey), entered.suggestWeight);
}

}  // namespace mofeng::ui
