#pragma once

#include <string>

#include "net/RunSettings.h"
#include "ui/startup/SettingsTexts.h"

namespace mofeng::ui {

class AppContext;
struct StartupOptions;

// Every non-empty text as an explicit value; endpoints, numbers and paths
// as the user typed them (paths in the file system's encoding).
net::SettingsSources SourcesFromTexts(const SettingsTexts& texts);

// What start-up runs with. Each setting from the most specific source:
// the command line, then --demo, then MOFENG_*_URL, then what the settings
// dialog remembered, then the built-in default. Remembered values that no
// longer resolve (a cookie file since deleted, a hand-edited address) are
// left out as a whole, and why is in ignored, rather than keeping the
// program from starting.
struct StartupSettings {
    net::RunSettings run;
    SettingsTexts applied;  // the remembered texts in use (jobs, switch included)
    std::string ignored;    // non-empty: the remembered settings were not used
};
bool ResolveStartupSettings(const StartupOptions& options, const net::Environment& environment,
                            const SettingsTexts& remembered, StartupSettings& resolved,
                            std::string& error);

// The dialog's texts as explicit values (an empty address is the built-in
// one), and the --demo test authority trusted when no CA file is given.
// False with error naming the first bad setting. UI thread.
bool ResolveDialogTexts(const AppContext& context, const SettingsTexts& texts,
                        net::RunSettings& settings, std::string& error);

// The settings dialog's 确定: texts resolved as explicit values (an empty
// address is the built-in one). On success the fetch settings of the process
// change at once (a paused run resumes with them), and the endpoints, jobs
// and texts are kept in context for the next run. On failure nothing
// changes and error names the first bad setting (never quoting a cookie).
// UI thread.
bool ApplySettingsTexts(AppContext& context, const SettingsTexts& texts, std::string& error);

}  // namespace mofeng::ui
