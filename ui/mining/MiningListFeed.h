#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include <QPointer>
#include <QString>

#include <memory>

#include "mining/MiningSink.h"
#include "ui/common/BlockedPausePrompt.h"
#include "ui/common/UiFlushScheduler.h"

class QLabel;
class QMessageBox;
class QProgressBar;
class QWidget;

namespace mofeng::ui {

class KeywordListModel;

// The mining window's sink: accepted rows, the status label and the bar are
// queued and shown on the UI thread in batches, so the run never waits for
// the window. It keeps the key index of the list's keyword column that the
// run's duplicate test reads; every change of the list goes through here
// (rows the run adds, ClearList), under one lock with the queue, so the
// index always agrees with the list as it stands after the rows queued so
// far. After a blocked streak the run waits for the seller's 继续 or 停止
// in the pause box over window; stopping or closing answers 停止, so the
// worker is never left waiting. Created and destroyed on the UI thread; the
// run's worker must have ended before it goes.
class MiningListFeed final : public mining::MiningSink {
public:
    // counts shows the run's accepted keywords and requests; openSettings
    // (may be empty) is offered by the pause box.
    MiningListFeed(KeywordListModel* model, QLabel* status, QProgressBar* progress, QLabel* counts,
                   QWidget* window, OpenSettingsForPause openSettings);
    MiningListFeed(const MiningListFeed&) = delete;
    MiningListFeed& operator=(const MiningListFeed&) = delete;

    // UI thread, before a run starts: the index is taken anew from the list
    // (rows put in by other means count too) and the feed is reopened.
    void StartRun();
    // UI thread: removes every row, those still queued included, and returns
    // them; the run's later rows go in after the clear, as they would have
    // without a queue.
    std::vector<runtime::Row> ClearList();
    // UI thread: puts rows back at the top of the list (an undone clear);
    // their keywords count as in the list again.
    void RestoreRows(std::vector<runtime::Row> rows);
    // UI thread, when a run starts: the bar empty, the label "第一级：".
    void ResetProgress();
    // UI thread (the window closing): later rows are refused, a pause is
    // answered 停止.
    void Close();
    // UI thread (the run stopped): a pause is answered 停止 and its box goes.
    void EndPause();
    // The run's counts as last reported; UI thread, once its worker has
    // ended (any thread may call it, it takes the lock).
    mining::MiningProgress LastProgress();
    // UI thread: shows whatever has arrived (also done by the queued flush).
    void Flush();

    // The judging thread of the run.
    bool ListHasKeyword(std::string_view keyword) override;
    std::int64_t ListRowCount() override;
    bool AppendRow(std::string number, std::string keyword) override;
    // Queued only for a keyword the list holds; the flush writes it into
    // every row of that keyword.
    void SawWeight(std::string_view keyword, std::string weight) override;
    void SetStatusLabel(const std::string& text) override;
    void SetProgress(int position, int maximum) override;
    void Progressed(const mining::MiningProgress& progress) override;
    // Blocks until the seller answers the pause box (or the run is stopped).
    bool ResumeAfterBlocked(int streak) override;

private:
    struct StringHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const noexcept {
            return std::hash<std::string_view>{}(text);
        }
    };

    KeywordListModel* m_model;  // UI thread only, like the two controls
    QLabel* m_status;
    QProgressBar* m_progress;
    QLabel* m_counts;
    QWidget* m_window;
    OpenSettingsForPause m_openSettings;
    QPointer<QMessageBox> m_pauseBox;  // UI thread

    std::mutex m_mutex;  // guards everything below
    bool m_open = true;
    std::int64_t m_rowCount = 0;  // the model's rows and the queued ones
    std::unordered_set<std::string, StringHash, std::equal_to<>> m_keys;
    std::vector<runtime::Row> m_pendingRows;
    // keyword -> latest weight, written after the pending rows
    std::unordered_map<std::string, std::string, StringHash, std::equal_to<>> m_pendingWeights;
    std::optional<std::string> m_pendingLabel;
    std::optional<std::pair<int, int>> m_pendingProgress;  // position, maximum
    mining::MiningProgress m_lastProgress;
    bool m_countsPending = false;
    std::shared_ptr<PauseAnswer> m_pause;  // the pause being asked; null when none
    UiFlushScheduler m_scheduler;
};

// "已接受 N 个关键词 · 已请求 M 次", with the failed and blocked counts
// when there are any.
QString MiningCountsText(const mining::MiningProgress& progress);

}  // namespace mofeng::ui
