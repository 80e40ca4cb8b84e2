#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "runtime/CancelToken.h"

namespace mofeng::runtime {

// Smallest and largest number of jobs a run accepts; values outside are
// clamped.
inline constexpr int kMinJobs = 1;
inline constexpr int kMaxJobs = 16;
int ClampJobs(int jobs);

// Calls work(worker, item) once for every item 0..count-1, on `jobs` threads
// (the calling thread is worker 0), each thread taking the next item as it
// becomes free, so at most `jobs` items are under way at a time. With one
// job the items run in order on the calling thread. Stops handing out items
// once cancel is raised. Returns when every thread has ended.
void ForEachInParallel(std::size_t count, int jobs, const CancelToken& cancel,
                       const std::function<void(int worker, std::size_t item)>& work);

// Produces fetch(i) for items 0..count-1 with up to `jobs` of them under way
// on helper threads, running ahead of the consumer by at most a bounded
// window, while consume(i, result) runs on the calling thread strictly in the
// order 0, 1, 2, ... A consume returning false, or a raised cancel, ends the
// sequence: no item after it is consumed and no new fetch is started; the
// fetches in flight are expected to watch the same token. With one job every
// fetch runs on the calling thread right before its consume, exactly as a
// plain loop would. True when every item was consumed.
template <typename Result>
bool ConsumeInOrder(std::size_t count, int jobs, const CancelToken& cancel,
                    const std::function<Result(std::size_t)>& fetch,
                    const std::function<bool(std::size_t, Result&&)>& consume);

// ---------------------------------------------------------------------------

template <typename Result>
bool ConsumeInOrder(std::size_t count, int jobs, const CancelToken& cancel,
                    const std::function<Result(std::size_t)>& fetch,
                    const std::function<bool(std::size_t, Result&&)>& consume) {
    jobs = ClampJobs(jobs);
    if (jobs == 1 || count <= 1) {
        for (std::size_t i = 0; i < count; ++i) {
            if (cancel.IsCancelled()) {
                return false;
            }
            Result result = fetch(i);
            if (cancel.IsCancelled() || !consume(i, std::move(result))) {
                return false;
            }
        }
        return !cancel.IsCancelled();
    }

    // Results wait in ready until their turn; a fetch never starts more than
    // `window` items ahead of the next one to consume, which bounds memory.
    const std::size_t window = static_cast<std::size_t>(jobs) * 4;
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::optional<Result>> ready(count);
    std::size_t nextFetch = 0;
    std::size_t nextConsume = 0;
    bool stopped = false;

    const auto helper = [&] {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] {
                return stopped || cancel.IsCancelled() || nextFetch >= count ||
                       nextFetch < nextConsume + window;
            });
            if (stopped || cancel.IsCancelled() || nextFetch >= count) {
                return;
            }
            const std::size_t item = nextFetch++;
            lock.unlock();
            Result result = fetch(item);
            lock.lock();
            ready[item].emplace(std::move(result));
            changed.notify_all();
        }
    };

    std::vector<std::thread> helpers;
    helpers.reserve(static_cast<std::size_t>(jobs));
    for (int j = 0; j < jobs; ++j) {
        helpers.emplace_back(helper);
    }

    bool complete = true;
    for (std::size_t i = 0; i < count; ++i) {
        std::optional<Result> result;
        {
            std::unique_lock lock(mutex);
            // A cancel wakes nobody by itself, so the wait polls it.
            while (!ready[i] && !cancel.IsCancelled()) {
                changed.wait_for(lock, std::chrono::milliseconds(20));
            }
            if (!ready[i]) {
                complete = false;
                break;
            }
            result = std::move(ready[i]);
            ready[i].reset();
            nextConsume = i + 1;
            changed.notify_all();
        }
        if (cancel.IsCancelled() || !consume(i, std::move(*result))) {
            complete = false;
            break;
        }
    }
    {
        std::lock_guard lock(mutex);
        stopped = true;
        changed.notify_all();
    }
    for (std::thread& thread : helpers) {
        thread.join();
    }
    return complete && !cancel.IsCancelled();
}

}  // namespace mofeng::runtime
