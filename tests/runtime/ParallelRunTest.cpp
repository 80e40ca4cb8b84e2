#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "runtime/ParallelRun.h"

namespace mofeng::runtime {
namespace {

// Waits (bounded) until counter reaches target; true when it did.
bool AwaitCount(const std::atomic<int>& counter, int target) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (counter.load() < target) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::yield();
    }
    return true;
}

TEST(ForEachInParallel, VisitsEveryItemOnceWithAtMostJobsUnderWay) {
    for (const int jobs : {1, 2, 8, 16}) {
        for (const std::size_t count : {std::size_t{0}, std::size_t{1}, std::size_t{40}}) {
            SCOPED_TRACE(std::to_string(jobs) + " jobs, " + std::to_string(count) + " items");
            std::vector<std::atomic<int>> visits(count);
            std::atomic<int> underWay{0};
            std::atomic<int> peak{0};
            std::atomic<int> started{0};
            std::mutex workersMutex;
            std::vector<int> workers;
            const int expectedPeak = static_cast<int>(std::min<std::size_t>(jobs, count));
            ForEachInParallel(count, jobs, CancelToken(), [&](int worker, std::size_t item) {
                const int now = ++underWay;
                int seen = peak.load();
                while (now > seen && !peak.compare_exchange_weak(seen, now)) {
                }
                // The first wave holds on until every job has an item, so the
                // peak shows that the jobs really overlap.
                if (++started <= expectedPeak) {
                    AwaitCount(started, expectedPeak);
                }
                ++visits[item];
                {
                    std::lock_guard lock(workersMutex);
                    workers.push_back(worker);
                }
                --underWay;
            });
            for (std::size_t i = 0; i < count; ++i) {
                EXPECT_EQ(visits[i].load(), 1) << i;
            }
            EXPECT_EQ(peak.load(), expectedPeak);
            for (const int worker : workers) {
                EXPECT_GE(worker, 0);
                EXPECT_LT(worker, jobs);
            }
        }
    }
}

TEST(ForEachInParallel, OneJobRunsInOrderOnTheCallingThreadAndCancelStopsHandingOut) {
    std::vector<std::size_t> order;
    const std::thread::id caller = std::this_thread::get_id();
    CancelToken cancel;
    ForEachInParallel(10, 1, cancel, [&](int, std::size_t item) {
        EXPECT_EQ(std::this_thread::get_id(), caller);
        order.push_back(item);
        if (item == 3) {
            cancel.Cancel();
        }
    });
    EXPECT_EQ(order, (std::vector<std::size_t>{0, 1, 2, 3}));

    // Jobs out of range are clamped, never zero threads.
    EXPECT_EQ(ClampJobs(0), 1);
    EXPECT_EQ(ClampJobs(-5), 1);
    EXPECT_EQ(ClampJobs(99), 16);
}

struct ConsumeCase {
    const char* name;
    int jobs;
    std::size_t stopAfter;  // consume returns false at this item (count: never)
    std::size_t cancelAt;   // cancel raised while consuming this item (count: never)
};

TEST(ConsumeInOrder, ConsumesStrictlyInOrderAndStopsWhereTold) {
    constexpr std::size_t kCount = 60;
    const ConsumeCase cases[] = {
        {"one job", 1, kCount, kCount},    {"two jobs", 2, kCount, kCount},
        {"eight jobs", 8, kCount, kCount}, {"stop at 17", 8, 17, kCount},
        {"cancel at 5", 4, kCount, 5},     {"one job cancel at 5", 1, kCount, 5},
    };
    for (const ConsumeCase& c : cases) {
        SCOPED_TRACE(c.name);
        CancelToken cancel;
        std::atomic<std::size_t> fetched{0};
        std::atomic<std::size_t> maxFetched{0};
        std::vector<std::size_t> consumed;
        const bool complete = ConsumeInOrder<std::size_t>(
            kCount, c.jobs, cancel,
            [&](std::size_t i) {
                ++fetched;
                std::size_t seen = maxFetched.load();
                while (i > seen && !maxFetched.compare_exchange_weak(seen, i)) {
                }
                // Later items finish first, so order is the consumer's doing.
                std::this_thread::sleep_for(std::chrono::microseconds((kCount - i) * 20));
                return i * 10;
            },
            [&](std::size_t i, std::size_t&& value) {
                EXPECT_EQ(value, i * 10);
                consumed.push_back(i);
                if (i == c.cancelAt) {
                    cancel.Cancel();
                }
                // The look-ahead is bounded: no fetch runs far past the consumer.
                EXPECT_LE(maxFetched.load(), i + static_cast<std::size_t>(c.jobs) * 4);
                return i != c.stopAfter;
            });
        const std::size_t last = std::min(c.stopAfter, c.cancelAt);
        EXPECT_EQ(complete, last == kCount);
        std::vector<std::size_t> expected;
        for (std::size_t i = 0; i < std::min(last + 1, kCount); ++i) {
            expected.push_back(i);
        }
        EXPECT_EQ(consumed, expected);
        if (c.jobs == 1) {
            EXPECT_EQ(fetched.load(), consumed.size());
        }
    }
}

}  // namespace
}  // namespace mofeng::runtime
