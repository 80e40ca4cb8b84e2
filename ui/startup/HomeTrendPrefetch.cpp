#include "ui/startup/HomeTrendPrefetch.h"

#include <string>

#include "net/HttpFetch.h"
#include "ui/common/BackgroundTasks.h"

namespace mofeng::ui {

void StartHomeTrendPrefetch(BackgroundTasks& tasks, const net::EndpointConfig& endpoints) {
    tasks.Start([url = endpoints.TrendUrl(kSampleTrendQuery)](const runtime::CancelToken& cancel) {
        net::HttpFetch(url, &cancel);
    });
}

}  // namespace mofeng::ui
