#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QTest>

#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "mining/MiningList.h"
#include "query/IndexQueryRun.h"
#include "query/RowOutcome.h"
#include "ui/common/KeywordListModel.h"
#include "ui/main/QueryResultFeed.h"
#include "ui/mining/MiningListFeed.h"

using namespace mofeng;

namespace {

std::vector<ui::KeywordListModel::Column> Columns(int count) {
    std::vector<ui::KeywordListModel::Column> columns;
    for (int c = 0; c < count; ++c) {
        columns.push_back({"c" + std::to_string(c), 50});
    }
    return columns;
}

std::vector<std::string> Keywords(const ui::KeywordListModel& model) {
    return model.Data().ColumnTexts(mining::kKeywordColumn);
}

}  // namespace

// The sinks that carry a run's results to the UI thread.
class RunFeedTest final : public QObject {
    Q_OBJECT

private slots:
    void QueryResultsLandByIdInBatchesWithoutWaiting() {
        ui::KeywordListModel model(Columns(8));
        model.AppendRows({{"1", "a"}, {"2", "b"}, {"3", "c"}});
        const std::vector<runtime::RowId> ids = model.Data().RowIds();
        ui::QueryResultFeed feed(&model);
        int changes = 0;
        connect(&model, &QAbstractItemModel::dataChanged, this, [&] { ++changes; });

        // From a worker, with the UI thread not serving events meanwhile.
        std::thread worker([&] {
            feed.RunStarted(3);
            for (std::size_t i = 0; i < ids.size(); ++i) {
                QVERIFY(feed.RowExists(ids[i]));
                feed.RowResult(ids[i], 2, {"n" + std::to_string(i), "y", "avg", "t", "c", "s"});
                feed.RowFinished(static_cast<int>(i) + 1, 3);
            }
        });
        worker.join();
        QCOMPARE(feed.RowsDone(), 3);
        QVERIFY(feed.RowsComplete());
        QCOMPARE(changes, 0);  // nothing written behind the UI thread's back

        model.ReorderRows({2, 0, 1});  // a sort before the batch arrives
        QTRY_COMPARE(model.Data().Cell(0, 2), std::string("n2"));
        QCOMPARE(model.Data().Cell(1, 2), std::string("n0"));
        QCOMPARE(model.Data().Cell(2, 7), std::string("s"));

        // A clear marks the run's rows gone: no request, results dropped.
        model.Clear();
        QVERIFY(!feed.RowExists(ids[0]));
        feed.RowResult(ids[0], 2, {"late"});
        feed.Flush();
        QCOMPARE(model.rowCount(), 0);
    }

    void QueryFeedCountsOutcomesAndAsksTheQuestionItWasGiven() {
        ui::KeywordListModel model(Columns(query::kStoredColumnCount));
        model.AppendRows({{"1", "a"}, {"2", "b"}, {"3", "c"}});
        const std::vector<runtime::RowId> ids = model.Data().RowIds();
        std::vector<int> asked;
        ui::QueryResultFeed feed(&model, [&](int streak) {
            asked.push_back(streak);
            return streak < 3;
        });
        const auto finished = [](query::RowOutcome outcome) {
            std::vector<std::string> cells(6, "1");
            cells.emplace_back(query::RowOutcomeText(outcome));
            cells.resize(cells.size() + 2);
            return cells;
        };
        std::vector<bool> answers;
        std::thread worker([&] {
            feed.RunStarted(3);
            feed.RowResult(ids[0], query::kFirstMetricColumn, finished(query::RowOutcome::Normal));
            feed.RowResult(ids[1], query::kFirstMetricColumn, finished(query::RowOutcome::Blocked));
            answers.push_back(feed.ResumeAfterBlocked(2));
            answers.push_back(feed.ResumeAfterBlocked(3));
            // A stopped run's unfinished row: the outcome cells alone.
            feed.RowResult(
                ids[2], query::kOutcomeColumn,
                {std::string(query::RowOutcomeText(query::RowOutcome::NotQueried)), {}, {}});
        });
        worker.join();
        const query::QuerySummary counts = feed.Counts();  // before any flush
        QCOMPARE(counts.Count(query::RowOutcome::Normal), 1);
        QCOMPARE(counts.Count(query::RowOutcome::Blocked), 1);
        QCOMPARE(counts.Count(query::RowOutcome::NotQueried), 1);
        QCOMPARE(counts.Count(query::RowOutcome::Failed), 0);
        QCOMPARE(asked, (std::vector<int>{2, 3}));
        QCOMPARE(answers, (std::vector<bool>{true, false}));
        // Without a question the run stops.
        QVERIFY(!ui::QueryResultFeed(&model).ResumeAfterBlocked(3));
    }

    void MiningClearReachesTheRunInOrderWithItsRows() {
        ui::KeywordListModel model(Columns(2));
        QLabel status;
        QProgressBar progress;
        QLabel counts;
        QWidget window;
        model.AppendRows({{"1", "old"}});
        ui::MiningListFeed feed(&model, &status, &progress, &counts, &window, {});
        feed.StartRun();
        QVERIFY(feed.ListHasKeyword("old"));  // rows from before the run count

        QVERIFY(feed.AppendRow("2", "x"));
        QVERIFY(feed.AppendRow("3", "y"));
        feed.SetProgress(1, 4);
        QVERIFY(feed.ListHasKeyword("x"));  // queued rows count at once
        QCOMPARE(feed.ListRowCount(), std::int64_t(3));
        QCOMPARE(model.rowCount(), 1);

        // Cleared while x and y are still queued: they go with the rest.
        feed.ClearList();
        QVERIFY(!feed.ListHasKeyword("old") && !feed.ListHasKeyword("x"));
        QCOMPARE(feed.ListRowCount(), std::int64_t(0));
        QVERIFY(feed.AppendRow("4", "x"));
        feed.SetStatusLabel("\xD2\xBB\xBC\xB6\xCC\xD4\xB4\xCA");  // 一级淘词
        QTRY_COMPARE(model.rowCount(), 1);
        QCOMPARE(Keywords(model), std::vector<std::string>{"x"});
        QCOMPARE(model.Data().Cell(0, 0), std::string("4"));
        QCOMPARE(status.text(), QStringLiteral("一级淘词"));
        QCOMPARE(progress.value(), 1);
        QCOMPARE(progress.maximum(), 4);

        // A new run takes the index from the list again.
        feed.StartRun();
        QVERIFY(feed.ListHasKeyword("x") && !feed.ListHasKeyword("y"));
        // A closed window takes no more rows.
        feed.Close();
        QVERIFY(!feed.AppendRow("5", "z"));
        feed.Flush();
        QCOMPARE(model.rowCount(), 1);
    }

    void MiningWeightsReachEveryRowOfTheirKeywordLatestFirst() {
        ui::KeywordListModel model(Columns(3));
        QLabel status;
        QProgressBar progress;
        QLabel counts;
        QWidget window;
        model.AppendRows({{"1", "k"}, {"2", "m", "5"}});
        ui::MiningListFeed feed(&model, &status, &progress, &counts, &window, {});
        feed.StartRun();
        std::thread worker([&] {
            // A suggestion equal to a related-search keyword gets a second row.
            QVERIFY(feed.AppendRow("3", "k"));
            feed.SawWeight("k", "12.5");
            feed.SawWeight("k", "7.25");
            feed.SawWeight("absent", "3");
        });
        worker.join();
        auto weights = [&] { return model.Data().ColumnTexts(mining::kWeightColumn); };
        QTRY_COMPARE(weights(), (std::vector<std::string>{"7.25", "5", "7.25"}));
        QCOMPARE(model.Data().FindRow("absent", mining::kKeywordColumn), -1);

        // A weight still queued when the list is cleared goes with its rows;
        // undone, the rows come back with the weights they showed.
        feed.SawWeight("m", "99");
        std::vector<runtime::Row> cleared = feed.ClearList();
        feed.SawWeight("m", "98");  // no longer in the list
        feed.RestoreRows(std::move(cleared));
        feed.Flush();
        QCOMPARE(weights(), (std::vector<std::string>{"7.25", "5", "7.25"}));
    }

    void MiningPauseIsAnsweredStopWhenTheRunStopsOrTheWindowCloses() {
        ui::KeywordListModel model(Columns(2));
        QLabel status;
        QLabel counts;
        QProgressBar progress;
        QWidget window;
        ui::MiningListFeed feed(&model, &status, &progress, &counts, &window, {});
        feed.StartRun();
        mining::MiningProgress streak;
        streak.requests = 3;
        streak.outcomes[static_cast<std::size_t>(net::LookupOutcome::Blocked)] = 3;
        feed.Progressed(streak);
        const auto box = [&] { return window.findChild<QMessageBox*>(QStringLiteral("拦截暂停")); };

        // Stopped while the box is shown: the worker gets 停止 and the box goes.
        std::optional<bool> answer;
        std::thread worker([&] { answer = feed.ResumeAfterBlocked(3); });
        QTRY_VERIFY(box() != nullptr && box()->isVisible());
        QVERIFY(counts.text().contains(QStringLiteral("被拦截 3")));  // shown before the question
        feed.EndPause();
        worker.join();
        QCOMPARE(answer, std::optional<bool>(false));
        QTRY_VERIFY(box() == nullptr);

        // 继续 in the box resumes.
        answer.reset();
        worker = std::thread([&] { answer = feed.ResumeAfterBlocked(3); });
        QTRY_VERIFY(box() != nullptr && box()->isVisible());
        for (QAbstractButton* button : box()->buttons()) {
            if (button->text() == QStringLiteral("继续")) {
                button->click();
            }
        }
        worker.join();
        QCOMPARE(answer, std::optional<bool>(true));

        // Closed: no box, no wait.
        feed.Close();
        QCOMPARE(feed.ResumeAfterBlocked(3), false);
        QTest::qWait(50);
        QVERIFY(box() == nullptr);
    }
};

QTEST_MAIN(RunFeedTest)
#include "RunFeedTest.moc"
