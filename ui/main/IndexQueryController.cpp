#include "ui/main/IndexQueryController.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QTableView>
#include <QTimer>

#include <atomic>
#include <functional>

#include "app/HistoryRecordingSink.h"
#include "app/HistoryRows.h"
#include "query/IndexQueryRun.h"
#include "query/ProgressEstimate.h"
#include "ui/common/BlockedPausePrompt.h"
#include "ui/common/KeywordListModel.h"
#include "ui/common/OutcomeCountsText.h"
#include "ui/common/QueuedCall.h"
#include "ui/common/SessionKeeper.h"
#include "ui/main/MainStatusBar.h"
#include "ui/main/MainWindow.h"
#include "ui/main/QueryResultFeed.h"
#include "ui/settings/SettingsDialog.h"
#include "ui/startup/AppContext.h"

namespace mofeng::ui {
namespace {

constexpr int kRefreshMs = 250;
// Longer than this without a finished row, with fetches in flight, and the
// progress says how long the server has kept the run waiting.
constexpr qint64 kWaitingNoticeMs = 3000;

}  // namespace

// Shared by the controller (UI thread) and the run's worker.
struct IndexQueryController::Run {
    Run(KeywordListModel* model, int rows) : feed(model), estimate(rows) {}

    runtime::CancelToken stop;
    QueryResultFeed feed;              // results and progress, without waiting
    std::atomic<bool> ended{false};    // the worker has returned
    query::ProgressEstimate estimate;  // UI thread only
    bool stopping = false;             // UI thread only: stopped, worker not yet ended
    PauseAnswer pause;                 // the worker waits here after a blocked streak
    int lastDone = -1;                 // UI thread only: rows done at the last change
    QElapsedTimer sinceLastRow;        // UI thread only: since that change
    // Files the rows in the history, then passes them on to feed.
    std::unique_ptr<app::HistoryRecordingSink> recorder;

    bool RowsComplete() const { return ended || feed.RowsComplete(); }
};

IndexQueryController::IndexQueryController(MainWindow& window)
    : QObject(&window), m_window(window) {
    m_statusLine = &window.StatusBar().ProgressLabel();
    m_statusLine->hide();
    // Raised before the window joins its workers, so a stalled fetch is
    // abandoned at once.
    connect(&window, &MainWindow::ShuttingDown, this, &IndexQueryController::StopRun);

    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setInterval(kRefreshMs);
    connect(m_refreshTimer, &QTimer::timeout, this, &IndexQueryController::Refresh);
}

IndexQueryController::~IndexQueryController() {
    if (m_run) {
        m_run->stop.Cancel();
        m_run->pause.Give(false);
    }
}

bool IndexQueryController::IsRunning() const {
    return m_run && !m_run->stopping && !m_run->RowsComplete();
}

int IndexQueryController::RowsDone() const {
    return m_run ? m_run->feed.RowsDone() : 0;
}

int IndexQueryController::RowsTotal() const {
    return m_run ? m_run->feed.RowsTotal() : 0;
}

void IndexQueryController::StartOrOfferStop() {
    if (m_run && m_run->stopping) {
        // The stopped run's worker ends within moments; two runs never overlap.
        m_startAfterStop = true;
        return;
    }
    if (IsRunning()) {
        OfferStop();
    } else {
        StartRun();
    }
}

void IndexQueryController::RetryFailedRows() {
    if (m_run) {
        StartOrOfferStop();
        return;
    }
    std::vector<runtime::RowId> rows = query::RowsToRetry(m_window.KeywordTable());
    if (rows.empty()) {
        m_window.SetStatusText(QStringLiteral("没有需要重试的行。  ") +
                               OutcomeCountsText(CountOutcomes(m_window.Model().Data())));
        return;
    }
    StartRun(std::move(rows));
}

void IndexQueryController::StartRun(std::optional<std::vector<runtime::RowId>> onlyRows) {
    // The run's inputs, taken now as values: rows by id with their keywords
    // and the figures they show.
    const runtime::TableData& data = m_window.Model().Data();
    auto rowInput = [&data](int row) {
        return query::QueryRowInput{
            data.IdOfRow(row), data.Cell(row, query::kKeywordColumn),
            query::ShownFiguresOf([&](int column) { return data.Cell(row, column); })};
    };
    query::QueryRunInput input;
    input.endpoints = m_window.Context().Endpoints();
    input.jobs = m_window.Context().Jobs();
    if (onlyRows) {
        input.rows.reserve(onlyRows->size());
        for (const runtime::RowId id : *onlyRows) {
            const int row = data.RowOfId(id);
            if (row >= 0)
                input.rows.push_back(rowInput(row));
        }
    } else {
        input.rows.reserve(static_cast<std::size_t>(data.RowCount()));
        for (int row = 0; row < data.RowCount(); ++row)
            input.rows.push_back(rowInput(row));
    }

    auto run = std::make_shared<Run>(&m_window.Model(), static_cast<int>(input.rows.size()));
    m_run = run;
    if (SessionKeeper* session = m_window.Session()) {
        run->recorder = std::make_unique<app::HistoryRecordingSink>(run->feed, session->Writer(),
                                                                    input.rows, app::LocalToday());
    }
    // After a blocked streak the worker waits for the seller's 继续 or 停止.
    QPointer<IndexQueryController> self(this);
    run->feed.resumeAfterBlocked = [self, run](int streak) {
        QueueOnTargetThread(self.data(), [self, run, streak] {
            if (self && run == self->m_run && !run->stopping) {
                MainWindow* window = &self->m_window;
                self->m_pauseBox = AskResumeAfterBlocked(
                    window, streak, [run](bool resume) { run->pause.Give(resume); },
                    [window](std::function<void()> reask) {
                        OpenSettingsDialog(window->Context(), window, std::move(reask));
                    });
            } else {
                run->pause.Give(false);
            }
        });
        return run->pause.Wait();
    };

    runtime::Notifier& notifier = m_window.Notifier();
    // The window joins its workers before the notifier and this controller
    // go, so the worker may hold on to them.
    m_window.Tasks().Start([this, run, &notifier, input = std::move(input)](
                               const runtime::CancelToken& workerCancel) mutable {
        // The window's shutdown stops the run through StopRun; a worker
        // started after that has its own token raised already.
        if (workerCancel.IsCancelled())
            run->stop.Cancel();
        if (run->recorder) {
            query::IndexQueryRun(input, *run->recorder, notifier, run->stop);
        } else {
            query::IndexQueryRun(input, run->feed, notifier, run->stop);
        }
        run->ended = true;
        // The last reference to the run goes back to the UI thread, where its
        // feed was made and flushes.
        QueueOnTargetThread(this, [this, run = std::move(run)] { Finish(run); });
    });

    Refresh();
    m_statusLine->show();
    m_statusLine->raise();
    m_refreshTimer->start();
    emit RunningChanged(true);
}

void IndexQueryController::OfferStop() {
    if (m_stopQuestion) {
        m_stopQuestion->raise();
        m_stopQuestion->activateWindow();
        return;
    }
    const QString text =
        QStringLiteral("指数查询正在进行中（已完成 %1/%2 行）。\n是否停止这次查询？")
            .arg(RowsDone())
            .arg(RowsTotal());
    auto* box = new QMessageBox(QMessageBox::Question, QStringLiteral("信息："), text,
                                QMessageBox::Yes | QMessageBox::No, &m_window);
    box->setDefaultButton(QMessageBox::No);
    box->setAttribute(Qt::WA_DeleteOnClose);
    std::weak_ptr<Run> asked = m_run;
    connect(box, &QMessageBox::finished, this, [this, box, asked](int) {
        // Only the run the question was about; a later run is left alone.
        if (box->clickedButton() == box->button(QMessageBox::Yes) && asked.lock() == m_run) {
            StopRun();
        }
    });
    m_stopQuestion = box;
    box->open();
}

void IndexQueryController::StopRun() {
    if (!m_run || m_run->stopping)
        return;
    m_run->stop.Cancel();
    m_run->pause.Give(false);
    // The run stays until its worker has ended (its Finish arrives after any
    // write it queued before the stop), so a new run cannot overlap it.
    m_run->stopping = true;
    HideProgress();
    emit RunningChanged(false);
}

void IndexQueryController::Refresh() {
    if (!m_run)
        return;
    if (m_run->RowsComplete()) {
        Finish(m_run);
        return;
    }
    const int done = m_run->feed.RowsDone();
    const int total = m_run->feed.RowsTotal();
    m_run->estimate.Update(done);
    QString text = QStringLiteral("正在查询指数：%1/%2").arg(done).arg(total);
    if (const auto left = m_run->estimate.TimeLeft()) {
        text +=
            QStringLiteral("，预计还需 %1").arg(QString::fromStdString(query::DurationText(*left)));
    }
    text += QStringLiteral("  ") + OutcomeCountsText(CountOutcomes(m_window.Model().Data()));
    if (const QString down = m_run->feed.UnavailableText(); !down.isEmpty())
        text += QStringLiteral("  ") + down;
    if (done != m_run->lastDone || !m_run->sinceLastRow.isValid()) {
        m_run->lastDone = done;
        m_run->sinceLastRow.start();
    } else if (const qint64 waited = m_run->sinceLastRow.elapsed();
               waited > kWaitingNoticeMs && !m_pauseBox) {
        text += QStringLiteral("  ") + WaitingText(waited);
    }
    m_statusLine->setText(text);
}

QString IndexQueryController::WaitingText(qint64 waitedMs) {
    return QStringLiteral("等待服务器响应（%1 秒）").arg(waitedMs / 1000);
}

void IndexQueryController::HideProgress() {
    m_refreshTimer->stop();
    m_statusLine->hide();
    if (m_stopQuestion)
        m_stopQuestion->close();
    if (m_pauseBox)
        m_pauseBox->reject();
}

void IndexQueryController::Finish(const std::shared_ptr<Run>& run) {
    if (run != m_run)
        return;
    run->feed.Flush();  // the counts below see every row that arrived
    QString text =
        QStringLiteral("查询结束：") + OutcomeCountsText(CountOutcomes(m_window.Model().Data()));
    if (const QString down = run->feed.UnavailableText(); !down.isEmpty())
        text += QStringLiteral("  ") + down;
    const bool wasRunning = !run->stopping;
    m_run.reset();  // run may be a reference to m_run: not used below
    HideProgress();
    m_window.SetStatusText(text);
    if (wasRunning) {
        emit RunningChanged(false);
    }
    if (m_startAfterStop) {
        m_startAfterStop = false;
        StartRun();
    }
}

}  // namespace mofeng::ui
