#pragma once

#include <QThread>

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

// make(i) for every i in [0, count), spread over the machine's cores, the results in the order
// of i. make must only read what other calls read too. The first exception a call throws is
// thrown here once every thread has stopped; the calls not yet started are skipped.
template <typename Result, typename Make>
std::vector<Result> ParallelMap(int count, const Make& make)
{
    std::vector<Result> results(static_cast<size_t>(std::max(count, 0)));
    const int workers = std::clamp(QThread::idealThreadCount(), 1, std::max(count, 1));
    std::exception_ptr failure;
    std::mutex failureMutex;
    std::atomic<bool> failed = false;
    const auto work = [&](int worker) {
        // Interleaved, so that a run of large items does not leave one thread all the work.
        for (int i = worker; i < count && !failed; i += workers) {
            try {
                results[static_cast<size_t>(i)] = make(i);
            } catch (...) {
                const std::lock_guard lock(failureMutex);
                if (!failure)
                    failure = std::current_exception();
                failed = true;
                return;
            }
        }
    };
    {
        std::vector<std::jthread> threads;
        threads.reserve(static_cast<size_t>(workers - 1));
        for (int worker = 1; worker < workers; ++worker)
            threads.emplace_back(work, worker);
        work(0);
    }
    if (failure)
        std::rethrow_exception(failure);
    return results;
}
