#pragma once

#include <filesystem>
#include <memory>
#include <utility>

#include "mining/MiningState.h"
#include "net/EndpointConfig.h"
#include "runtime/OrderedKeySet.h"
#include "sim/Simulator.h"
#include "ui/common/BackgroundTasks.h"
#include "ui/startup/SettingsTexts.h"
#include "ui/startup/WebPages.h"

namespace mofeng::ui {

// The program-wide objects: created before the main window, released after
// the event loop has ended. UI thread only, except where noted.
class AppContext final {
public:
    // simulator: the in-process endpoint simulator of --demo (may be null); it
    // is stopped after the program-wide workers have been joined.
    AppContext(net::EndpointConfig endpoints, WebPages webPages,
               std::unique_ptr<sim::Simulator> simulator = nullptr);
    ~AppContext();  // cancels and joins Tasks(), then stops the simulator
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    // The endpoints of the next run: set and read on the UI thread only; a
    // run copies them when it starts, so a change reaches the next run.
    const net::EndpointConfig& Endpoints() const { return m_endpoints; }
    void SetEndpoints(net::EndpointConfig endpoints) { m_endpoints = std::move(endpoints); }
    // The settings texts last applied (start-up or the settings dialog),
    // the pasted cookie included: it lives here, in memory only.
    const SettingsTexts& Settings() const { return m_settings; }
    void SetSettings(SettingsTexts settings) { m_settings = std::move(settings); }
    // Read-only after start-up, so any thread may read it.
    const WebPages& Web() const { return m_webPages; }
    // Fetches a run keeps under way at a time (1..16), read when a run starts.
    int Jobs() const { return m_jobs; }
    void SetJobs(int jobs);
    // Where the mining export writes (app::RunFolder); the program's folder
    // unless start-up chose another. Set before the first window opens.
    const std::filesystem::path& RunDirectory() const { return m_runDirectory; }
    void SetRunDirectory(std::filesystem::path folder) { m_runDirectory = std::move(folder); }
    // The mining runs' set of suggestion keywords already seen; thread-safe.
    runtime::OrderedKeySet& SeenSuggestionSet() { return m_mining.SeenSuggestionSet(); }
    // The state every mining window's runs share, one run at a time.
    mining::MiningState& Mining() { return m_mining; }
    // The --demo simulator; null without one.
    const sim::Simulator* DemoSimulator() const { return m_simulator.get(); }
    // Workers that belong to no window (the start-up trend fetch).
    BackgroundTasks& Tasks() { return m_tasks; }

private:
    std::unique_ptr<sim::Simulator> m_simulator;  // first member: destroyed last
    net::EndpointConfig m_endpoints;
    WebPages m_webPages;
    SettingsTexts m_settings;
    int m_jobs = 1;
    std::filesystem::path m_runDirectory;
    mining::MiningState m_mining;
    BackgroundTasks m_tasks;  // last member: joined first
};

}  // namespace mofeng::ui
