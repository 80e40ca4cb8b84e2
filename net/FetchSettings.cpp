#include "net/FetchSettings.h"

#include <mutex>

namespace mofeng::net {
namespace {

std::mutex g_settingsMutex;
std::shared_ptr<const FetchSettings> g_settings = std::make_shared<const FetchSettings>();

}  // namespace

void SetFetchSettings(FetchSettings settings) {
    auto next = std::make_shared<const FetchSettings>(std::move(settings));
    std::lock_guard lock(g_settingsMutex);
    g_settings = std::move(next);
}

std::shared_ptr<const FetchSettings> CurrentFetchSettings() {
    std::lock_guard lock(g_settingsMutex);
    return g_settings;
}

}  // namespace mofeng::net
