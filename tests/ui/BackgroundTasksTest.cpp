#include <QCoreApplication>
#include <QTest>

#include <atomic>
#include <latch>
#include <memory>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

#include "ui/common/BackgroundTasks.h"

using mofeng::runtime::CancelToken;
using mofeng::ui::BackgroundTasks;

namespace {

void SpinUntilCancelled(const CancelToken& token) {
    while (!token.IsCancelled()) {
        std::this_thread::yield();
    }
}

// Held by a task's work; expired once its worker has let go of the work,
// which it does after handing the result to the UI thread.
struct WorkerTrace {
    std::shared_ptr<int> held = std::make_shared<int>();
    std::weak_ptr<int> watch = held;

    void WaitUntilHandedOver() const {
        while (!watch.expired()) {
            std::this_thread::yield();
        }
    }
};

}  // namespace

class BackgroundTasksTest : public QObject {
    Q_OBJECT

private slots:
    void cancelReachesRunningTasksAndTheirHandOvers();
    void failingTaskEndsAlone();
    void destructorCancelsAndJoins();
    void finishRunsOnceOnTheUiThreadWithTheResult();
    void finishIsDroppedWhenItsWindowGoes();
};

void BackgroundTasksTest::cancelReachesRunningTasksAndTheirHandOvers() {
    BackgroundTasks tasks;
    std::latch running(3);
    std::atomic<int> handOverStartedCancelled{-1};
    for (int i = 0; i < 3; ++i) {
        tasks.Start([&, i](const CancelToken& token) {
            running.count_down();
            SpinUntilCancelled(token);
            if (i == 0) {
                // A stage that hands over after being stopped, as mining does.
                tasks.Start([&](const CancelToken& next) {
                    handOverStartedCancelled = next.IsCancelled() ? 1 : 0;
                });
            }
        });
    }
    running.wait();
    QCOMPARE(tasks.RunningCount(), 3);

    tasks.CancelAll();
    tasks.JoinAll();
    QCOMPARE(tasks.RunningCount(), 0);
    QCOMPARE(handOverStartedCancelled.load(), 1);

    // Cancelling is not sticky: a run started afterwards is live.
    std::atomic<bool> liveAfterwards{false};
    tasks.Start([&](const CancelToken& token) { liveAfterwards = !token.IsCancelled(); });
    tasks.JoinAll();
    QVERIFY(liveAfterwards.load());
}

void BackgroundTasksTest::failingTaskEndsAlone() {
    BackgroundTasks tasks;
    std::atomic<bool> otherFinished{false};
    tasks.Start([](const CancelToken&) { throw std::runtime_error("broken reply"); });
    tasks.Start([&](const CancelToken&) { otherFinished = true; });
    tasks.JoinAll();
    QVERIFY(otherFinished.load());
    QCOMPARE(tasks.RunningCount(), 0);
}

void BackgroundTasksTest::destructorCancelsAndJoins() {
    std::atomic<int> stopped{0};
    {
        BackgroundTasks tasks;
        for (int i = 0; i < 4; ++i) {
            tasks.Start([&](const CancelToken& token) {
                SpinUntilCancelled(token);
                ++stopped;
            });
        }
    }  // would hang here if the tasks were not cancelled
    QCOMPARE(stopped.load(), 4);
}

void BackgroundTasksTest::finishRunsOnceOnTheUiThreadWithTheResult() {
    BackgroundTasks tasks;
    QObject window;
    std::vector<std::optional<int>> results;
    std::vector<std::thread::id> threads;
    const auto finish = [&](std::optional<int> result) {
        results.push_back(result);
        threads.push_back(std::this_thread::get_id());
    };
    WorkerTrace ok;
    tasks.RunThenCallback(
        &window, [held = ok.held](const CancelToken&) { return 42; }, finish);
    ok.held.reset();
    ok.WaitUntilHandedOver();
    // The worker has ended, yet the task counts until its finish has run.
    QCOMPARE(tasks.RunningCount(), 1);
    QVERIFY(results.empty());
    QTRY_COMPARE(tasks.RunningCount(), 0);
    QCOMPARE(results, (std::vector<std::optional<int>>{42}));

    // A failed run still ends with its finish, without a result.
    tasks.RunThenCallback(
        &window, [](const CancelToken&) -> int { throw std::runtime_error("broken reply"); },
        finish);
    QTRY_COMPARE(tasks.RunningCount(), 0);
    QCOMPARE(results, (std::vector<std::optional<int>>{42, std::nullopt}));
    QCOMPARE(threads, (std::vector<std::thread::id>(2, std::this_thread::get_id())));
    QCoreApplication::processEvents();
    QCOMPARE(results.size(), std::size_t{2});  // once each
}

void BackgroundTasksTest::finishIsDroppedWhenItsWindowGoes() {
    BackgroundTasks tasks;
    int finishes = 0;
    // The window destroyed while the finish is on its way.
    auto window = std::make_unique<QObject>();
    WorkerTrace trace;
    tasks.RunThenCallback(
        window.get(), [held = trace.held](const CancelToken&) { return 1; },
        [&](std::optional<int>) { ++finishes; });
    trace.held.reset();
    trace.WaitUntilHandedOver();
    window.reset();
    QCoreApplication::processEvents();
    QCOMPARE(finishes, 0);
    QCOMPARE(tasks.RunningCount(), 0);

    // The window shutting down: a finish not yet run when JoinAll returns
    // never runs, even though its window is still there.
    QObject closing;
    std::latch started(1);
    tasks.RunThenCallback(
        &closing,
        [&](const CancelToken& token) {
            started.count_down();
            SpinUntilCancelled(token);
            return 1;
        },
        [&](std::optional<int>) { ++finishes; });
    started.wait();
    tasks.CancelAll();
    tasks.JoinAll();
    QCOMPARE(tasks.RunningCount(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(finishes, 0);
}

QTEST_MAIN(BackgroundTasksTest)
#include "BackgroundTasksTest.moc"
