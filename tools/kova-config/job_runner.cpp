// Worker threads that take the next job number until none is left.
#include "job_runner.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

void RunJobs(int count, int threads, const std::function<void(int)>& job) {
    std::atomic<int> next{0};
    auto work = [&] {
        for (int i = next++; i < count; i = next++) job(i);
    };
    const int workers = std::max(1, std::min(threads, count));
    std::vector<std::thread> pool;
    for (int t = 1; t < workers; ++t) pool.emplace_back(work);
    work();  // the calling thread is one of them
    for (std::thread& t : pool) t.join();
}

void RunJobGroups(const std::vector<std::vector<int>>& groups, int threads,
                  const std::function<void(int)>& job) {
    RunJobs(int(groups.size()), threads, [&](int g) {
        for (int i : groups[size_t(g)]) job(i);
    });
}
