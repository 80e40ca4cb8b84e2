#include "ui/main/QueryResultFeed.h"

#include "app/MarketCells.h"
#include "columns/KeywordListSchema.h"

#include "query/RowOutcome.h"
#include "ui/common/GbkQt.h"
#include "ui/common/KeywordListModel.h"

namespace mofeng::ui {

QueryResultFeed::QueryResultFeed(KeywordListModel* model, ResumeQuestion resumeAfterBlocked)
    : m_model(model),
      m_resumeAfterBlocked(std::move(resumeAfterBlocked)),
      m_scheduler(model, [this] { Flush(); }) {
    // Ids are never reused, so a row gone stays gone.
    m_clearWatch = QObject::connect(model, &KeywordListModel::Cleared, model,
                                    [this] { m_cleared.store(true, std::memory_order_release); });
    m_removeWatch = QObject::connect(model, &KeywordListModel::RowsLeaving, model,
                                     [this](const std::vector<runtime::RowId>& ids) {
                                         std::lock_guard lock(m_mutex);
                                         m_removed.insert(ids.begin(), ids.end());
                                     });
}

QueryResultFeed::~QueryResultFeed() {
    QObject::disconnect(m_clearWatch);
    QObject::disconnect(m_removeWatch);
}

void QueryResultFeed::RunStarted(int total) {
    m_total = total;
    if (total == 0) {
        m_complete = true;
    }
}

bool QueryResultFeed::RowExists(runtime::RowId id) {
    if (m_cleared.load(std::memory_order_acquire)) {
        return false;
    }
    std::lock_guard lock(m_mutex);
    return !m_removed.contains(id);
}

void QueryResultFeed::RowResult(runtime::RowId id, int firstColumn,
                                std::vector<std::string> cells) {
    const auto outcomeAt = static_cast<std::size_t>(query::kOutcomeColumn - firstColumn);
    const std::optional<query::RowOutcome> outcome =
        firstColumn <= query::kOutcomeColumn && outcomeAt < cells.size()
            ? query::RowOutcomeFromText(cells[outcomeAt])
            : std::nullopt;
    {
        std::lock_guard lock(m_mutex);
        if (outcome) {
            const auto [counted, first] = m_counted.try_emplace(id, *outcome);
            if (!first) {
                --m_counts
                      .counts[static_cast<std::size_t>(std::exchange(counted->second, *outcome))];
            }
            ++m_counts.counts[static_cast<std::size_t>(*outcome)];
        }
        m_pending.push_back({id, firstColumn, std::move(cells)});
    }
    m_scheduler.Request();
}

void QueryResultFeed::RowFinished(int done, int total) {
    m_total = total;
    m_done = done;
    if (done >= total) {
        m_complete = true;
    }
}

bool QueryResultFeed::ResumeAfterBlocked(int streak) {
    return m_resumeAfterBlocked && m_resumeAfterBlocked(streak);
}

query::QuerySummary QueryResultFeed::Counts() const {
    std::lock_guard lock(m_mutex);
    return m_counts;
}

void QueryResultFeed::EndpointUnavailable(const std::string& notice) {
    std::lock_guard lock(m_mutex);
    m_unavailable += (m_unavailable.isEmpty() ? QString() : QStringLiteral("；")) + FromGbk(notice);
}

QString QueryResultFeed::UnavailableText() const {
    std::lock_guard lock(m_mutex);
    return m_unavailable;
}

void QueryResultFeed::Flush() {
    std::vector<Cells> batch;
    {
        std::lock_guard lock(m_mutex);
        batch.swap(m_pending);
    }
    for (Cells& cells : batch) {
        m_model->SetCellsById(cells.id, cells.firstColumn, std::move(cells.texts));
        // 需求供给比 computed from our 宝贝数量 follows the new count.
        runtime::Row stored = m_model->StoredRow(m_model->Data().RowOfId(cells.id));
        if (app::RefreshDemandSupply(stored)) {
            constexpr int kRatio = columns::Index(columns::Column::DemandSupply);
            constexpr int kOurs = columns::Index(columns::Column::DemandSupplyOurs);
            m_model->SetCellsById(cells.id, kRatio, {stored[kRatio]});
            m_model->SetCellsById(cells.id, kOurs, {stored[kOurs]});
        }
    }
}

}  // namespace mofeng::ui
