#include "ui/startup/AppContext.h"

#include <QCoreApplication>

#include <utility>

#include "runtime/ParallelRun.h"
#include "ui/common/FilePath.h"

namespace mofeng::ui {

AppContext::AppContext(net::EndpointConfig endpoints, WebPages webPages,
                       std::unique_ptr<sim::Simulator> simulator)
    : m_simulator(std::move(simulator)),
      m_endpoints(std::move(endpoints)),
      m_webPages(std::move(webPages)),
      m_runDirectory(ToFilePath(QCoreApplication::applicationDirPath())) {}

AppContext::~AppContext() {
    m_tasks.CancelAll();
    m_tasks.JoinAll();
}

void AppContext::SetJobs(int jobs) {
    m_jobs = runtime::ClampJobs(jobs);
}

}  // namespace mofeng::ui
