#include "ui/HomeTrendPrefetch.h"

#include <string>

#include "net/HttpFetch.h"
#include "ui/BackgroundTasks.h"

namespace mofeng::ui {

void StartHomeTrendPrefetch(BackgroundTasks& tasks, const net::EndpointConfig& endpoints) {
    tasks.Start([url = endpoints.TrendUrl(kSampleTrendQuery)](const runtime::CancelToken& cancel) {
        net::HttpFetch(url, &cancel);
    });
}

}  // namespace mofeng::ui
