#include "ui/mining/MiningListFeed.h"

#include <QLabel>
#include <QProgressBar>

#include <QMessageBox>

#include <algorithm>
#include <iterator>
#include <numeric>
#include <utility>

#include "mining/MiningList.h"
#include "ui/common/GbkQt.h"
#include "ui/common/KeywordListModel.h"
#include "ui/common/QueuedCall.h"

namespace mofeng::ui {

MiningListFeed::MiningListFeed(KeywordListModel* model, QLabel* status, QProgressBar* progress,
                               QLabel* counts, QWidget* window, OpenSettingsForPause openSettings)
    : m_model(model),
      m_status(status),
      m_progress(progress),
      m_counts(counts),
      m_window(window),
      m_openSettings(std::move(openSettings)),
      m_scheduler(model, [this] { Flush(); }) {}

void MiningListFeed::StartRun() {
    std::lock_guard lock(m_mutex);
    m_open = true;
    m_lastProgress = {};
    m_countsPending = false;
    m_keys.clear();
    m_rowCount = m_model->rowCount() + static_cast<std::int64_t>(m_pendingRows.size());
    for (std::string& keyword : m_model->Data().ColumnTexts(mining::kKeywordColumn)) {
        m_keys.insert(std::move(keyword));
    }
    for (const runtime::Row& row : m_pendingRows) {
        m_keys.insert(row[mining::kKeywordColumn]);
    }
}

std::vector<runtime::Row> MiningListFeed::ClearList() {
    std::vector<runtime::Row> rows;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        rows.push_back(m_model->StoredRow(row));
    }
    {
        std::lock_guard lock(m_mutex);
        m_keys.clear();
        std::move(m_pendingRows.begin(), m_pendingRows.end(), std::back_inserter(rows));
        m_pendingRows.clear();
        m_pendingWeights.clear();
        m_rowCount = 0;
    }
    m_model->Clear();
    return rows;
}

void MiningListFeed::RestoreRows(std::vector<runtime::Row> rows) {
    if (rows.empty()) {
        return;
    }
    {
        std::lock_guard lock(m_mutex);
        for (const runtime::Row& row : rows) {
            m_keys.insert(row[mining::kKeywordColumn]);
        }
        m_rowCount += static_cast<std::int64_t>(rows.size());
    }
    std::vector<int> positions(rows.size());
    std::iota(positions.begin(), positions.end(), 0);
    m_model->InsertRows(positions, std::move(rows));
}

void MiningListFeed::ResetProgress() {
    {
        std::lock_guard lock(m_mutex);
        m_pendingLabel.reset();
        m_pendingProgress.reset();
    }
    m_status->setText(QStringLiteral("第一级："));
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
}

void MiningListFeed::Close() {
    {
        std::lock_guard lock(m_mutex);
        m_open = false;
    }
    EndPause();
}

void MiningListFeed::EndPause() {
    std::shared_ptr<PauseAnswer> pause;
    {
        std::lock_guard lock(m_mutex);
        pause = std::exchange(m_pause, nullptr);
    }
    if (pause) {
        pause->Give(false);
    }
    if (m_pauseBox) {
        m_pauseBox->reject();
    }
}

mining::MiningProgress MiningListFeed::LastProgress() {
    std::lock_guard lock(m_mutex);
    return m_lastProgress;
}

void MiningListFeed::Flush() {
    std::vector<runtime::Row> rows;
    std::unordered_map<std::string, std::string, StringHash, std::equal_to<>> weights;
    std::optional<std::string> label;
    std::optional<std::pair<int, int>> progress;
    std::optional<mining::MiningProgress> counts;
    {
        std::lock_guard lock(m_mutex);
        rows.swap(m_pendingRows);
        weights.swap(m_pendingWeights);
        label.swap(m_pendingLabel);
        progress.swap(m_pendingProgress);
        if (std::exchange(m_countsPending, false)) {
            counts = m_lastProgress;
        }
    }
    if (!rows.empty()) {
        m_model->AppendRows(std::move(rows));
    }
    for (auto& [keyword, weight] : weights) {
        for (const int row : m_model->Data().FindRows(keyword, mining::kKeywordColumn)) {
            // An unchanged cell is not rewritten, nor stored again by the session.
            if (m_model->Data().Cell(row, mining::kWeightColumn) != weight) {
                m_model->SetCell(row, mining::kWeightColumn, weight);
            }
        }
    }
    if (label) {
        m_status->setText(FromGbk(*label));
    }
    if (progress) {
        // A range of 0..0 would make the bar a busy indicator; an empty level
        // shows an empty bar instead.
        m_progress->setRange(0, std::max(progress->second, 1));
        m_progress->setValue(progress->first);
    }
    if (counts) {
        // The whole list, then this run's share of it.
        m_counts->setText(QStringLiteral("共 %1 个关键词（本次").arg(m_model->rowCount()) +
                          MiningCountsText(*counts) + QStringLiteral("）"));
    }
}

bool MiningListFeed::ListHasKeyword(std::string_view keyword) {
    std::lock_guard lock(m_mutex);
    return m_keys.find(keyword) != m_keys.end();
}

std::int64_t MiningListFeed::ListRowCount() {
    std::lock_guard lock(m_mutex);
    return m_rowCount;
}

bool MiningListFeed::AppendRow(std::string number, std::string keyword) {
    {
        std::lock_guard lock(m_mutex);
        if (!m_open) {
            return false;
        }
        m_keys.insert(keyword);
        ++m_rowCount;
        m_pendingRows.push_back(runtime::Row{std::move(number), std::move(keyword)});
    }
    m_scheduler.Request();
    return true;
}

void MiningListFeed::SawWeight(std::string_view keyword, std::string weight) {
    {
        std::lock_guard lock(m_mutex);
        const auto key = m_keys.find(keyword);
        if (!m_open || key == m_keys.end()) {
            return;
        }
        m_pendingWeights.insert_or_assign(*key, std::move(weight));
    }
    m_scheduler.Request();
}

void MiningListFeed::SetStatusLabel(const std::string& text) {
    {
        std::lock_guard lock(m_mutex);
        m_pendingLabel = text;
    }
    m_scheduler.Request();
}

void MiningListFeed::SetProgress(int position, int maximum) {
    {
        std::lock_guard lock(m_mutex);
        m_pendingProgress.emplace(position, maximum);
    }
    m_scheduler.Request();
}

void MiningListFeed::Progressed(const mining::MiningProgress& progress) {
    {
        std::lock_guard lock(m_mutex);
        m_lastProgress = progress;
        m_countsPending = true;
    }
    m_scheduler.Request();
}

bool MiningListFeed::ResumeAfterBlocked(int streak) {
    auto pause = std::make_shared<PauseAnswer>();
    {
        std::lock_guard lock(m_mutex);
        if (!m_open) {
            return false;
        }
        m_pause = pause;
    }
    QueueOnTargetThread(m_model, [this, pause, streak] {
        {
            std::lock_guard lock(m_mutex);
            if (m_pause != pause) {  // answered 停止 before the box could show
                return;
            }
        }
        Flush();  // the counts of the streak, before the question
        m_pauseBox = AskResumeAfterBlocked(
            m_window, streak, [pause](bool resume) { pause->Give(resume); }, m_openSettings);
    });
    const bool resume = pause->Wait();
    std::lock_guard lock(m_mutex);
    if (m_pause == pause) {
        m_pause.reset();
    }
    return resume;
}

QString MiningCountsText(const mining::MiningProgress& progress) {
    QString text = QStringLiteral("已接受 %1 个关键词 · 已请求 %2 次")
                       .arg(progress.accepted)
                       .arg(progress.requests);
    const std::int64_t failed = progress.Count(net::LookupOutcome::Failed);
    const std::int64_t blocked = progress.Count(net::LookupOutcome::Blocked);
    if (failed > 0 || blocked > 0) {
        text += QStringLiteral("（失败 %1 · 被拦截 %2）").arg(failed).arg(blocked);
    }
    return text;
}

}  // namespace mofeng::ui
