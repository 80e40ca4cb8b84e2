#pragma once

#include <string_view>

#include "net/EndpointConfig.h"

namespace mofeng::ui {

class BackgroundTasks;

// Query value of the sample keyword (UTF-8, percent-encoded).
inline constexpr std::string_view kSampleTrendQuery = "%E8%AF%BA%E5%9F%BA%E4%BA%9A";

// Fetches the trend endpoint once for the sample keyword on a worker of tasks,
// as the home page did at start-up; nothing reads the reply. Returns at once;
// cancelling tasks ends the fetch.
void StartHomeTrendPrefetch(BackgroundTasks& tasks, const net::EndpointConfig& endpoints);

}  // namespace mofeng::ui
