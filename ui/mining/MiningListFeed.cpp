#include "ui/mining/MiningListFeed.h"

#include <QLabel>
#include <QProgressBar>

#include <algorithm>

#include "mining/MiningList.h"
#include "ui/common/GbkQt.h"
#include "ui/common/KeywordListModel.h"

namespace mofeng::ui {

MiningListFeed::MiningListFeed(KeywordListModel* model, QLabel* status, QProgressBar* progress)
    : m_model(model),
      m_status(status),
      m_progress(progress),
      m_scheduler(model, [this] { Flush(); }) {}

void MiningListFeed::StartRun() {
    std::lock_guard lock(m_mutex);
    m_open = true;
    m_keys.clear();
    m_rowCount = m_model->rowCount() + static_cast<std::int64_t>(m_pendingRows.size());
    for (std::string& keyword : m_model->Data().ColumnTexts(mining::kKeywordColumn))
        m_keys.insert(std::move(keyword));
    for (const runtime::Row& row : m_pendingRows)
        m_keys.insert(row[mining::kKeywordColumn]);
}

void MiningListFeed::ClearList() {
    {
        std::lock_guard lock(m_mutex);
        m_keys.clear();
        m_pendingRows.clear();
        m_rowCount = 0;
    }
    m_model->Clear();
}

void MiningListFeed::Close() {
    std::lock_guard lock(m_mutex);
    m_open = false;
}

void MiningListFeed::Flush() {
    std::vector<runtime::Row> rows;
    std::optional<std::string> label;
    std::optional<std::pair<int, int>> progress;
    {
        std::lock_guard lock(m_mutex);
        rows.swap(m_pendingRows);
        label.swap(m_pendingLabel);
        progress.swap(m_pendingProgress);
    }
    if (!rows.empty())
        m_model->AppendRows(std::move(rows));
    if (label)
        m_status->setText(FromGbk(*label));
    if (progress) {
        // A range of 0..0 would make the bar a busy indicator; an empty level
        // shows an empty bar instead.
        m_progress->setRange(0, std::max(progress->second, 1));
        m_progress->setValue(progress->first);
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
        if (!m_open)
            return false;
        m_keys.insert(keyword);
        ++m_rowCount;
        m_pendingRows.push_back(runtime::Row{std::move(number), std::move(keyword)});
    }
    m_scheduler.Request();
    return true;
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

}  // namespace mofeng::ui
