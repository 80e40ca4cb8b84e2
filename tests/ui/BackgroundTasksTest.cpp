#include <QTest>

#include <atomic>
#include <latch>
#include <stdexcept>
#include <thread>

#include "ui/common/BackgroundTasks.h"

using mofeng::runtime::CancelToken;
using mofeng::ui::BackgroundTasks;

namespace {

void SpinUntilCancelled(const CancelToken& token) {
    while (!token.IsCancelled()) {
        std::this_thread::yield();
    }
}

}  // namespace

class BackgroundTasksTest : public QObject {
    Q_OBJECT

private slots:
    void cancelReachesRunningTasksAndTheirHandOvers();
    void failingTaskEndsAlone();
    void destructorCancelsAndJoins();
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

QTEST_MAIN(BackgroundTasksTest)
#include "BackgroundTasksTest.moc"
