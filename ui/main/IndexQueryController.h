#pragma once

#include <QObject>
#include <QPointer>

#include <memory>
#include <optional>
#include <vector>

#include "query/IndexQueryRun.h"
#include "runtime/TableData.h"

class QLabel;
class QMessageBox;
class QTimer;
class QWidget;

namespace mofeng::ui {

class AppContext;
class BackgroundTasks;
class KeywordListModel;
class SessionKeeper;

// "开始查询指数" of one keyword list: starts the index query run over the
// list on one of the window's workers, one run at a time. A second start
// while a run is in progress offers to stop it instead. While a run is in
// progress the progress line shows rows done / total, the time left, the
// run's outcome counts, and how long the server has kept the run waiting
// once no row has finished for more than 3 s. The run hands back its summary:
// the status message then gives the list's outcome counts, and a run that
// visited every row says "数据查询完毕" in a box over the window (with the
// counts and the warning icon when a row failed or was blocked). UI thread
// only.
class IndexQueryController final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IndexQueryController)

public:
    // A child of window, which holds the list, the progress line and the
    // workers and is the parent of the controller's questions and boxes.
    IndexQueryController(KeywordListModel& model, BackgroundTasks& tasks, AppContext& context,
                         QLabel& progressLine, QWidget& window);
    ~IndexQueryController() override;

    // A run is in progress and has not been stopped.
    bool IsRunning() const;
    int RowsDone() const;
    int RowsTotal() const;

    // "等待服务器响应（N 秒）", N the whole seconds waited.
    static QString WaitingText(qint64 waitedMs);
    // What the box of a run that visited every row says.
    static QString DoneText(const query::QuerySummary& summary);

    // Rows that end a run with figures are recorded in session's history from
    // the next run on. session outlives every run (the window joins its workers
    // first).
    void RecordHistoryIn(SessionKeeper* session) { m_session = session; }

public slots:
    // Starts a run, or, while one is in progress, asks whether to stop it.
    void StartOrOfferStop();
    // Stops the run in progress: the fetch in flight returns, nothing more is
    // written and no completion message is shown. Also when the window is
    // about to join its workers, so a stalled fetch is abandoned at once.
    void StopRun();
    // "停止查询": StopRun, and the status message says how far the run got.
    void Stop();
    // "重试失败行": a run over only the rows marked 失败, 被拦截 or 未查询
    // (query::RowsToRetry); while a run is in progress, as StartOrOfferStop.
    void RetryFailedRows();

signals:
    // The window's status message.
    void StatusMessage(const QString& text);
    // A run started (true), or was stopped or ended (false).
    void RunningChanged(bool running);

private:
    struct Run;

    void StartRun(std::optional<std::vector<runtime::RowId>> onlyRows = std::nullopt);
    void OfferStop();
    void Refresh();
    void HideProgress();  // progress line, refresh timer and stop question
    // The run's worker has ended; summary is empty when the run failed.
    void Finish(int serial, const std::optional<query::QuerySummary>& summary);

    KeywordListModel& m_model;
    BackgroundTasks& m_tasks;
    AppContext& m_context;
    QLabel& m_progressLine;
    QWidget& m_window;
    QTimer* m_refreshTimer = nullptr;
    QPointer<QMessageBox> m_stopQuestion;
    QPointer<QMessageBox> m_pauseBox;    // 继续/停止 after a blocked streak, while shown
    std::unique_ptr<Run> m_run;          // the run in progress (or stopping); null when idle
    SessionKeeper* m_session = nullptr;  // where runs record their history; may be null
    int m_runs = 0;                      // runs started; numbers them
    bool m_startAfterStop = false;       // a start was asked for while a run was stopping
};

}  // namespace mofeng::ui
