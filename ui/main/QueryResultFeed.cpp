#include "ui/main/QueryResultFeed.h"

#include "query/IndexQueryRun.h"
#include "ui/common/KeywordListModel.h"

namespace mofeng::ui {

QueryResultFeed::QueryResultFeed(KeywordListModel* model)
    : m_model(model), m_scheduler(model, [this] { Flush(); }) {
    // Clearing is the only way rows leave the list; ids are never reused.
    m_resetWatch = QObject::connect(model, &QAbstractItemModel::modelReset, model,
                                    [this] { m_cleared.store(true, std::memory_order_release); });
}

QueryResultFeed::~QueryResultFeed() {
    QObject::disconnect(m_resetWatch);
}

void QueryResultFeed::RunStarted(int total) {
    m_total = total;
    if (total == 0)
        m_complete = true;
}

bool QueryResultFeed::RowExists(runtime::RowId) {
    return !m_cleared.load(std::memory_order_acquire);
}

void QueryResultFeed::RowResult(runtime::RowId id, int firstColumn,
                                std::vector<std::string> cells) {
    {
        std::lock_guard lock(m_mutex);
        m_pending.push_back({id, firstColumn, std::move(cells)});
    }
    m_scheduler.Request();
}

void QueryResultFeed::RowFinished(int done, int total) {
    m_total = total;
    m_done = done;
    if (done >= total)
        m_complete = true;
}

bool QueryResultFeed::ResumeAfterBlocked(int streak) {
    return resumeAfterBlocked && resumeAfterBlocked(streak);
}

void QueryResultFeed::Flush() {
    std::vector<Cells> batch;
    {
        std::lock_guard lock(m_mutex);
        batch.swap(m_pending);
    }
    for (Cells& cells : batch)
        m_model->SetCellsById(cells.id, cells.firstColumn, std::move(cells.texts));
}

}  // namespace mofeng::ui
