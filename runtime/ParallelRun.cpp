#include "runtime/ParallelRun.h"

#include <algorithm>
#include <atomic>

namespace mofeng::runtime {

int ClampJobs(int jobs) {
    return std::clamp(jobs, kMinJobs, kMaxJobs);
}

void ForEachInParallel(std::size_t count, int jobs, const CancelToken& cancel,
                       const std::function<void(int worker, std::size_t item)>& work) {
    jobs = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(ClampJobs(jobs)),
                                                  std::max<std::size_t>(count, 1)));
    std::atomic<std::size_t> next{0};
    const auto loop = [&](int worker) {
        for (;;) {
            if (cancel.IsCancelled()) {
                return;
            }
            const std::size_t item = next.fetch_add(1);
            if (item >= count) {
                return;
            }
            work(worker, item);
        }
    };
    std::vector<std::thread> helpers;
    for (int worker = 1; worker < jobs; ++worker) {
        helpers.emplace_back(loop, worker);
    }
    loop(0);
    for (std::thread& thread : helpers) {
        thread.join();
    }
}

}  // namespace mofeng::runtime
