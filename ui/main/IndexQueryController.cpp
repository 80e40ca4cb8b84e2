#include "ui/main/IndexQueryController.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <mutex>
#include <utility>

#include "app/HistoryRecordingSink.h"
#include "app/HistoryRows.h"
#include "app/HistoryStore.h"
#include "app/MarketCells.h"
#include "app/MarketColumns.h"
#include "columns/KeywordListSchema.h"
#include "query/IndexQueryRun.h"
#include "query/ProgressEstimate.h"
#include "query/SuggestWeight.h"
#include "runtime/ParallelRun.h"
#include "ui/common/BackgroundTasks.h"
#include "ui/common/BlockedPausePrompt.h"
#include "ui/common/KeywordListModel.h"
#include "ui/common/ModelTable.h"
#include "ui/common/OutcomeCountsText.h"
#include "ui/common/QueuedCall.h"
#include "ui/common/SessionDatabaseFile.h"
#include "ui/common/SessionKeeper.h"
#include "ui/common/UiNotifier.h"
#include "ui/main/QueryResultFeed.h"
#include "ui/settings/SettingsDialog.h"
#include "ui/startup/AppContext.h"

namespace mofeng::ui {
namespace {

// 联想热度 of every row of the run (rounded as the list shows it), jobs at a
// time, written by row id; a row without such an entry gets an empty cell.
void FetchSuggestWeights(const query::QueryRunInput& input, query::QuerySink& sink,
                         const runtime::CancelToken& cancel) {
    std::mutex reporting;  // a sink takes one call at a time
    runtime::ForEachInParallel(input.rows.size(), input.jobs, cancel, [&](int, std::size_t i) {
        const query::QueryRowInput& row = input.rows[i];
        std::string weight = query::SuggestWeightDisplay(
            query::LookUpSuggestWeight(input.endpoints, row.keyword, &cancel).weight);
        const std::lock_guard lock(reporting);
        if (sink.RowExists(row.id)) {
            sink.RowResult(row.id, columns::Index(columns::Column::SuggestWeight),
                           {std::move(weight)});
        }
    });
}

constexpr int kRefreshMs = 250;
// Longer than this without a finished row, with fetches in flight, and the
// progress says how long the server has kept the run waiting.
constexpr qint64 kWaitingNoticeMs = 3000;

}  // namespace

namespace {

// 宝贝数量变化 of every recorded row with figures: the change since the
// keyword's last observed day before the run's day (read from the session's
// history, which the session writer may still be filling for today).
void ShowListingChanges(KeywordListModel& model, const std::vector<runtime::RowId>& rows,
                        const std::string& day) {
    if (rows.empty()) {
        return;
    }
    const app::SqliteDatabase db =
        app::SqliteDatabase::Open(SessionDatabaseFilePath(), SQLITE_OPEN_READONLY);
    if (!db) {
        return;
    }
    constexpr int kChange = columns::Index(columns::Column::ListingChange);
    for (runtime::RowId id : rows) {
        const int row = model.Data().RowOfId(id);
        const std::optional<app::Observation> now =
            app::ObservationOfRow(model.StoredRow(row), day);
        if (!now) {
            continue;
        }
        const std::optional<std::string> before =
            app::history::ListingBefore(db, now->keyword, day);
        std::string change = before ? app::ListingChangeText(*before, now->figures.front()) : "";
        if (model.Data().Cell(row, kChange) != change) {
            model.SetCellsById(id, kChange, {std::move(change)});
        }
    }
}

}  // namespace

// The worker reads stop and reports to feed until it returns; the rest is
// the UI thread's. Goes on the UI thread, after its worker has ended.
struct IndexQueryController::Run {
    Run(int serial, KeywordListModel* model, int rows, std::shared_ptr<PauseAnswer> pause,
        QueryResultFeed::ResumeQuestion question)
        : serial(serial),
          pause(std::move(pause)),
          feed(model, std::move(question)),
          estimate(rows) {}

    const int serial;
    runtime::CancelToken stop;
    const std::shared_ptr<PauseAnswer> pause;  // the worker waits here after a blocked streak
    QueryResultFeed feed;                      // results, progress and counts, without waiting
    query::ProgressEstimate estimate;          // UI thread only
    bool stopping = false;                     // UI thread only: stopped, worker not yet ended
    std::vector<runtime::RowId> recorded;      // rows whose observations are filed on `day`
    std::string day;
    int lastDone = -1;           // UI thread only: rows done at the last change
    QElapsedTimer sinceLastRow;  // UI thread only: since that change
    // Files the rows in the history, then passes them on to feed; null
    // where the window keeps no session.
    std::unique_ptr<app::HistoryRecordingSink> recorder;

    query::QuerySink& Sink() { return recorder ? static_cast<query::QuerySink&>(*recorder) : feed; }
};

IndexQueryController::IndexQueryController(KeywordListModel& model, BackgroundTasks& tasks,
                                           AppContext& context, QLabel& progressLine,
                                           QWidget& window)
    : QObject(&window),
      m_model(model),
      m_tasks(tasks),
      m_context(context),
      m_progressLine(progressLine),
      m_window(window) {
    m_progressLine.hide();
    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setInterval(kRefreshMs);
    connect(m_refreshTimer, &QTimer::timeout, this, &IndexQueryController::Refresh);
}

IndexQueryController::~IndexQueryController() {
    if (m_run) {
        m_run->stop.Cancel();
        m_run->pause->Give(false);
    }
}

bool IndexQueryController::IsRunning() const {
    return m_run && !m_run->stopping;
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
    ModelTable table(&m_model);
    std::vector<runtime::RowId> rows = query::RowsToRetry(table);
    if (rows.empty()) {
        emit StatusMessage(QStringLiteral("没有需要重试的行。  ") +
                           OutcomeCountsText(CountOutcomes(m_model.Data())));
        return;
    }
    StartRun(std::move(rows));
}

void IndexQueryController::StartRun(std::optional<std::vector<runtime::RowId>> onlyRows) {
    // The run's inputs, taken now as values: rows by id with their keywords
    // and the figures they show.
    const runtime::TableData& data = m_model.Data();
    auto rowInput = [&data](int row) {
        return query::QueryRowInput{
            data.IdOfRow(row), data.Cell(row, query::kKeywordColumn),
            query::ShownFiguresOf([&](int column) { return data.Cell(row, column); })};
    };
    query::QueryRunInput input;
    input.endpoints = m_context.Endpoints();
    input.jobs = m_context.Jobs();
    if (onlyRows) {
        input.rows.reserve(onlyRows->size());
        for (const runtime::RowId id : *onlyRows) {
            const int row = data.RowOfId(id);
            if (row >= 0) {
                input.rows.push_back(rowInput(row));
            }
        }
    } else {
        input.rows.reserve(static_cast<std::size_t>(data.RowCount()));
        for (int row = 0; row < data.RowCount(); ++row) {
            input.rows.push_back(rowInput(row));
        }
    }

    // After a blocked streak the worker waits for the seller's 继续 or 停止;
    // stopping the run (also by the window's shutdown) answers 停止.
    const int serial = ++m_runs;
    auto pause = std::make_shared<PauseAnswer>();
    auto askToResume = [this, serial, pause](int streak) {
        QueueOnTargetThread(this, [this, serial, pause, streak] {
            if (!m_run || m_run->serial != serial || m_run->stopping) {
                pause->Give(false);
                return;
            }
            QWidget* window = &m_window;
            AppContext* context = &m_context;
            m_pauseBox = AskResumeAfterBlocked(
                window, streak, [pause](bool resume) { pause->Give(resume); },
                [window, context](std::function<void()> reask) {
                    OpenSettingsDialog(*context, window, std::move(reask));
                });
        });
        return pause->Wait();
    };
    m_run = std::make_unique<Run>(serial, &m_model, static_cast<int>(input.rows.size()), pause,
                                  std::move(askToResume));
    if (m_session) {
        m_run->day = app::LocalToday();
        // The market figures the rows hold now go with their observations.
        std::unordered_map<runtime::RowId, app::HistoryRecordingSink::MarketFigures> market;
        for (const query::QueryRowInput& row : input.rows) {
            const int at = data.RowOfId(row.id);
            auto figures = app::MarketPairs(app::MarketRowOfCells(m_model.StoredRow(at)));
            if (!figures.empty()) {
                market.emplace(row.id, std::move(figures));
            }
        }
        m_run->recorder = std::make_unique<app::HistoryRecordingSink>(
            m_run->feed, m_session->Writer(), input.rows, m_run->day, std::move(market));
        for (const query::QueryRowInput& row : input.rows) {
            m_run->recorded.push_back(row.id);
        }
    }

    Run* run = m_run.get();
    const bool weights = m_context.Settings().suggestWeight;
    // The window joins its workers before this controller goes, so the
    // worker may use the run until it returns.
    m_tasks.RunThenCallback(
        this,
        [run, weights, input = std::move(input)](const runtime::CancelToken& workerCancel) {
            // The window's shutdown stops the run through StopRun; a worker
            // started after that has its own token raised already.
            if (workerCancel.IsCancelled()) {
                run->stop.Cancel();
            }
            query::QuerySummary summary = query::IndexQueryRun(input, run->Sink(), run->stop);
            if (weights && !run->stop.IsCancelled()) {
                FetchSuggestWeights(input, run->Sink(), run->stop);
            }
            return summary;
        },
        [this, serial](std::optional<query::QuerySummary> summary) { Finish(serial, summary); });

    Refresh();
    m_progressLine.show();
    m_progressLine.raise();
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
    const int asked = m_run->serial;
    connect(box, &QMessageBox::finished, this, [this, box, asked](int) {
        // Only the run the question was about; a later run is left alone.
        if (box->clickedButton() == box->button(QMessageBox::Yes) && m_run &&
            m_run->serial == asked) {
            StopRun();
        }
    });
    m_stopQuestion = box;
    box->open();
}

void IndexQueryController::StopRun() {
    if (!m_run || m_run->stopping) {
        return;
    }
    m_run->stop.Cancel();
    m_run->pause->Give(false);
    // The run stays until its worker has ended (its Finish arrives after any
    // write it queued before the stop), so a new run cannot overlap it.
    m_run->stopping = true;
    HideProgress();
    emit RunningChanged(false);
}

void IndexQueryController::Stop() {
    if (!IsRunning()) {
        return;
    }
    const int done = RowsDone();
    const int total = RowsTotal();
    StopRun();
    emit StatusMessage(QStringLiteral("查询已停止：已完成 %1/%2 行").arg(done).arg(total));
}

void IndexQueryController::Refresh() {
    if (!m_run) {
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
    text += QStringLiteral("  ") + OutcomeCountsText(m_run->feed.Counts());
    if (const QString down = m_run->feed.UnavailableText(); !down.isEmpty()) {
        text += QStringLiteral("  ") + down;
    }
    if (done != m_run->lastDone || !m_run->sinceLastRow.isValid()) {
        m_run->lastDone = done;
        m_run->sinceLastRow.start();
    } else if (const qint64 waited = m_run->sinceLastRow.elapsed();
               waited > kWaitingNoticeMs && !m_pauseBox) {
        text += QStringLiteral("  ") + WaitingText(waited);
    }
    m_progressLine.setText(text);
}

QString IndexQueryController::WaitingText(qint64 waitedMs) {
    return QStringLiteral("等待服务器响应（%1 秒）").arg(waitedMs / 1000);
}

QString IndexQueryController::DoneText(const query::QuerySummary& summary) {
    QString text = QStringLiteral("数据查询完毕");
    if (summary.AnyTrouble()) {
        text += QLatin1Char('\n') + OutcomeCountsText(summary);
    }
    return text;
}

void IndexQueryController::HideProgress() {
    m_refreshTimer->stop();
    m_progressLine.hide();
    if (m_stopQuestion) {
        m_stopQuestion->close();
    }
    if (m_pauseBox) {
        m_pauseBox->reject();
    }
}

void IndexQueryController::Finish(int serial, const std::optional<query::QuerySummary>& summary) {
    if (!m_run || m_run->serial != serial) {
        return;
    }
    m_run->feed.Flush();  // the counts below see every row that arrived
    ShowListingChanges(m_model, m_run->recorded, m_run->day);
    QString text = QStringLiteral("查询结束：") + OutcomeCountsText(CountOutcomes(m_model.Data()));
    if (const QString down = m_run->feed.UnavailableText(); !down.isEmpty()) {
        text += QStringLiteral("  ") + down;
    }
    const bool stopped = m_run->stopping;
    m_run.reset();
    HideProgress();
    emit StatusMessage(text);
    if (!stopped) {
        emit RunningChanged(false);
    }
    // Only a run that visited every row says it is done.
    if (summary && !stopped && summary->VisitedEveryRow()) {
        ShowMessageBox(&m_window, DoneText(*summary),
                       summary->AnyTrouble() ? QMessageBox::Warning : QMessageBox::Information);
    }
    if (m_startAfterStop) {
        m_startAfterStop = false;
        StartRun();
    }
}

}  // namespace mofeng::ui
