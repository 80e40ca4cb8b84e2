#pragma once

#include <QObject>
#include <QPointer>

#include <memory>
#include <optional>
#include <vector>

#include "runtime/TableData.h"

class QLabel;
class QMessageBox;
class QTimer;

namespace mofeng::ui {

class AppContext;
class MainWindow;

// "开始查询指数" of one main window: starts the index query run over the
// window's list on one of its workers, one run at a time. A second start
// while a run is in progress offers to stop it instead. While a run is in
// progress the status bar under the list shows rows done / total, the time
// left, the outcome counts, and how long the server has kept the run waiting
// once no row has finished for more than 3 s. Closing the window stops the run. UI thread only.
class IndexQueryController final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IndexQueryController)

public:
    // A child of window; the window creates one for itself.
    explicit IndexQueryController(MainWindow& window);
    ~IndexQueryController() override;

    // Starts a run, or, while one is in progress, asks whether to stop it.
    void StartOrOfferStop();
    // Stops the run in progress: the fetch in flight returns, nothing more is
    // written and no completion message is shown.
    void StopRun();
    // "重试失败行": a run over only the rows marked 失败, 被拦截 or 未查询
    // (query::RowsToRetry); while a run is in progress, as StartOrOfferStop.
    void RetryFailedRows();

    // A run has rows left to do and has not been stopped.
    bool IsRunning() const;
    int RowsDone() const;
    int RowsTotal() const;

    // "等待服务器响应（N 秒）", N the whole seconds waited.
    static QString WaitingText(qint64 waitedMs);

signals:
    // A run started (true), or was stopped or ended (false).
    void RunningChanged(bool running);

private:
    struct Run;

    void StartRun(std::optional<std::vector<runtime::RowId>> onlyRows = std::nullopt);
    void OfferStop();
    void Refresh();
    void HideProgress();  // status line, refresh timer and stop question
    void Finish(const std::shared_ptr<Run>& run);

    MainWindow& m_window;
    QLabel* m_statusLine = nullptr;
    QTimer* m_refreshTimer = nullptr;
    QPointer<QMessageBox> m_stopQuestion;
    QPointer<QMessageBox> m_pauseBox;  // 继续/停止 after a blocked streak, while shown
    std::shared_ptr<Run> m_run;        // the run in progress (or stopping); null when idle
    bool m_startAfterStop = false;     // a start was asked for while a run was stopping
};

}  // namespace mofeng::ui
