#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

#include "mining/MiningInputs.h"
#include "mining/MiningSink.h"
#include "runtime/Table.h"
#include "ui/common/BackgroundTasks.h"
#include "ui/mining/MiningWindowLayout.h"

class QAction;
class QMenu;

namespace mofeng::runtime {
class Table;
}

namespace mofeng::ui {

class AppContext;
class KeywordListModel;
class MiningListFeed;
class ModelTable;
class UiNotifier;

// "淘关键词，我最简单": expands a seed keyword into the mining list and sends
// the list on (SendKeywords). Top-level, no parent; resizable, the list
// takes what the window grows by. Runs of every mining window share the
// program's mining state, one run at a time. A run reads the must-contain
// text, the level and the exclude words from a copy the window keeps
// current, and its rows, label, bar and counts reach the window through a
// feed, so it never waits for the window. While a run is active the start
// button reads "停止淘词" and stops it. Closing the window stops its run (the
// fetches in flight return), joins it and shows the rows it accepted before
// the window goes. UI thread only.
class MiningWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MiningWindow)

public:
    explicit MiningWindow(AppContext& context);
    ~MiningWindow() override;

    // The mining list as the core logic sees it; any thread.
    runtime::Table& MiningTable();
    KeywordListModel& Model() { return *m_model; }
    // The list's pop-up menu commands.
    struct Actions {
        QAction* clearKeywords = nullptr;     // 清空关键词
        QAction* exportKeywords = nullptr;    // 导出关键词
        QAction* sendToMainWindow = nullptr;  // 传送至主窗口
        QAction* excludeWords = nullptr;      // 排除词…
        QAction* undoClear = nullptr;         // 撤销清空 (Ctrl+Z): the last 清空关键词
    };
    const Actions& MenuActions() const { return m_actions; }
    // The pop-up menu's action with this text; null if none.
    QAction* MenuAction(const QString& text) const;
    // A run started here has not ended yet.
    bool IsRunning() const { return m_running; }
    // The exclude words in use (also those of the next window: remembered).
    const QStringList& ExcludeWords() const { return m_excludeWords; }
    void SetExcludeWords(const QStringList& words);
    // The line under the bar: counts, the final line, the exported path.
    QString CountsText() const;

public slots:
    // "开始淘词": an empty must-contain text, or a run already going in any
    // mining window, gives a message and starts nothing; otherwise a run
    // starts on a worker and this returns at once. "停止淘词" (a run is
    // active here): stops it, the fetches in flight return.
    void StartMining();
    void StopMining();
    void ChooseExcludeWords();  // "排除词…": a window-modal dialog
    void ClearKeywords();       // "清空关键词": the rows are kept for UndoClear
    void UndoClear();           // "撤销清空", Ctrl+Z: the cleared rows back at the top
    // "导出关键词": SEED_关键词.txt in the program's folder; the line under
    // the bar shows the full path written.
    void ExportKeywords();
    // "传送至主窗口": SendKeywords with the list, then a message.
    void SendToMainWindow();

signals:
    // After a run started here has ended (finished or stopped).
    void RunEnded();
    // "传送至主窗口": the mining list (any thread may read it) to append to the
    // main list; nobody connected, nothing is sent.
    void SendKeywords(runtime::Table& miningList);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The run started here has ended: the button and the final line;
    // progress is empty when the run failed.
    void Ended(const std::optional<mining::MiningProgress>& progress);
    // Empties the must-contain edit, with a hint, once it holds over 2 bytes.
    void MustContainChanged(const QString& text);
    // Stops, detaches and joins; safe to call more than once.
    void Shutdown();

    AppContext& m_context;
    KeywordListModel* m_model = nullptr;
    MiningWindowControls m_controls;
    QMenu* m_menu = nullptr;
    Actions m_actions;
    std::unique_ptr<ModelTable> m_table;
    mining::LiveMiningInputs m_inputs;
    std::unique_ptr<MiningListFeed> m_feed;
    std::unique_ptr<UiNotifier> m_notifier;
    bool m_running = false;
    bool m_stopAsked = false;  // 停止淘词 during the current run
    QStringList m_excludeWords;
    std::vector<runtime::Row> m_clearedRows;  // by the last 清空关键词, until undone
    BackgroundTasks m_tasks;                  // last member: joined before the rest goes
};

}  // namespace mofeng::ui
