#include "ui/IndexQueryController.h"

#include <QEvent>
#include <QLabel>
#include <QMessageBox>
#include <QTableView>
#include <QTimer>

#include <atomic>
#include <functional>

#include "query/IndexQueryRun.h"
#include "query/ProgressEstimate.h"
#include "ui/AppContext.h"
#include "ui/BlockedPausePrompt.h"
#include "ui/KeywordListModel.h"
#include "ui/MainWindow.h"
#include "ui/OutcomeCountsText.h"
#include "ui/QueuedCall.h"

namespace mofeng::ui {
namespace {

constexpr int kRefreshMs = 250;
constexpr int kStatusLineHeight = 18;

}  // namespace

// Shared by the controller (UI thread) and the run's worker.
struct IndexQueryController::Run {
    explicit Run(int rows) : estimate(rows) {}

    runtime::CancelToken stop;
    std::atomic<int> done{0};
    std::atomic<int> total{0};
    std::atomic<bool> rowsComplete{false};  // every row visited, or the run ended
    query::ProgressEstimate estimate;       // UI thread only
    bool stopping = false;                  // UI thread only: stopped, worker not yet ended
    PauseAnswer pause;                      // the worker waits here after a blocked streak
};

namespace {

// Publishes progress and turns the worker's own cancel (raised when the
// window shuts down its workers) into a stop of the run.
class RunObserver final : public query::QueryObserver {
public:
    RunObserver(std::atomic<int>& done, std::atomic<int>& total, std::atomic<bool>& complete,
                runtime::CancelToken& stop, const runtime::CancelToken& workerCancel,
                std::function<bool(int)> askResume)
        : m_done(done),
          m_total(total),
          m_complete(complete),
          m_stop(stop),
          m_workerCancel(workerCancel),
          m_askResume(std::move(askResume)) {}

    bool ResumeAfterBlocked(int streak) override {
        return !m_workerCancel.IsCancelled() && !m_stop.IsCancelled() && m_askResume(streak);
    }

    void RunStarted(int rowsTotal) override {
        m_total = rowsTotal;
        if (rowsTotal == 0)
            m_complete = true;
    }

    void RowFinished(int rowsDone, int rowsTotal) override {
        m_total = rowsTotal;
        m_done = rowsDone;
        if (rowsDone >= rowsTotal)
            m_complete = true;
        if (m_workerCancel.IsCancelled())
            m_stop.Cancel();
    }

private:
    std::atomic<int>& m_done;
    std::atomic<int>& m_total;
    std::atomic<bool>& m_complete;
    runtime::CancelToken& m_stop;
    const runtime::CancelToken& m_workerCancel;
    std::function<bool(int)> m_askResume;  // blocks the worker until answered
};

}  // namespace

IndexQueryController& IndexQueryController::Of(MainWindow& window) {
    if (auto* existing =
            window.findChild<IndexQueryController*>(QString(), Qt::FindDirectChildrenOnly)) {
        return *existing;
    }
    return *new IndexQueryController(window);
}

IndexQueryController::IndexQueryController(MainWindow& window)
    : QObject(&window), m_window(window) {
    QTableView& list = window.List();
    m_statusLine = new QLabel(list.parentWidget());
    m_statusLine->setObjectName(QStringLiteral("标签_查询进度"));
    m_statusLine->hide();
    PlaceStatusLine();
    list.installEventFilter(this);
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

bool IndexQueryController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_window.List() &&
        (event->type() == QEvent::Resize || event->type() == QEvent::Move)) {
        PlaceStatusLine();
    }
    return QObject::eventFilter(watched, event);
}

void IndexQueryController::PlaceStatusLine() {
    const QRect list = m_window.List().geometry();
    m_statusLine->setGeometry(list.x(), list.bottom() + 3, list.width(), kStatusLineHeight);
}

bool IndexQueryController::IsRunning() const {
    return m_run && !m_run->stopping && !m_run->rowsComplete;
}

int IndexQueryController::RowsDone() const {
    return m_run ? m_run->done.load() : 0;
}

int IndexQueryController::RowsTotal() const {
    return m_run ? m_run->total.load() : 0;
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
    runtime::Table& table = m_window.KeywordTable();
    auto run =
        std::make_shared<Run>(onlyRows ? static_cast<int>(onlyRows->size()) : table.RowCount());
    run->total = run->estimate.Total();
    m_run = run;

    runtime::Notifier& notifier = m_window.Notifier();
    const net::EndpointConfig endpoints = m_window.Context().Endpoints();
    // The window joins its workers before the table, the notifier and this
    // controller go, so the worker may hold on to them.
    QPointer<IndexQueryController> self(this);
    auto askResume = [self, run](int streak) {
        QueueOnTargetThread(self.data(), [self, run, streak] {
            if (self && run == self->m_run && !run->stopping) {
                self->m_pauseBox = AskResumeAfterBlocked(
                    &self->m_window, streak, [run](bool resume) { run->pause.Give(resume); });
            } else {
                run->pause.Give(false);
            }
        });
        return run->pause.Wait();
    };
    m_window.Tasks().Start(
        [this, run, &table, &notifier, endpoints, askResume,
         onlyRows = std::move(onlyRows)](const runtime::CancelToken& workerCancel) {
            RunObserver observer(run->done, run->total, run->rowsComplete, run->stop, workerCancel,
                                 askResume);
            if (workerCancel.IsCancelled())
                run->stop.Cancel();
            query::IndexQueryRun(endpoints, table, notifier, run->stop, &observer,
                                 onlyRows ? &*onlyRows : nullptr);
            run->rowsComplete = true;
            QueueOnTargetThread(this, [this, run] { Finish(run); });
        });

    Refresh();
    m_statusLine->show();
    m_statusLine->raise();
    m_refreshTimer->start();
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
}

void IndexQueryController::Refresh() {
    if (!m_run)
        return;
    if (m_run->rowsComplete) {
        Finish(m_run);
        return;
    }
    const int done = m_run->done;
    const int total = m_run->total;
    m_run->estimate.Update(done);
    QString text = QStringLiteral("正在查询指数：%1/%2").arg(done).arg(total);
    if (const auto left = m_run->estimate.TimeLeft()) {
        text +=
            QStringLiteral("，预计还需 %1").arg(QString::fromStdString(query::DurationText(*left)));
    }
    m_statusLine->setText(text + QStringLiteral("  ") +
                          OutcomeCountsText(CountOutcomes(m_window.Model().Data())));
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
    m_run.reset();
    HideProgress();
    m_window.SetStatusText(QStringLiteral("查询结束：") +
                           OutcomeCountsText(CountOutcomes(m_window.Model().Data())));
    if (m_startAfterStop) {
        m_startAfterStop = false;
        StartRun();
    }
}

void InstallIndexQuery(AppContext& context) {
    context.Hooks().startIndexQuery = [](MainWindow& window) {
        IndexQueryController::Of(window).StartOrOfferStop();
    };
    context.Hooks().retryFailedRows = [](MainWindow& window) {
        IndexQueryController::Of(window).RetryFailedRows();
    };
}

}  // namespace mofeng::ui
