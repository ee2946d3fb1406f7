#include "cli/workers.h"

#include "cli/report.h"
#include "cli/signals.h"
#include "platform/runtime.h"

#include <QThread>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace cli {
namespace {

// How often the watcher looks for a stop when no worker ends meanwhile.
constexpr auto kWatchInterval = std::chrono::milliseconds(20);

} // namespace

void RunJobs(const std::vector<Job*>& jobs, size_t limit, double timeout,
             const std::function<void(Job&)>& run, const std::function<void(Job&)>& notReached) {
    const size_t count = jobs.size();
    std::vector<std::unique_ptr<QThread>> threads(count);
    std::mutex mutex;
    std::condition_variable endedCv;
    std::vector<size_t> ended; // jobs whose worker has done its work, not yet joined
    size_t next = 0;
    size_t running = 0;
    size_t done = 0;
    const double deadline = timeout > 0 ? platform::Timer() + timeout : 0;
    while (done < count) {
        if (deadline > 0 && !TimedOut() && platform::Timer() >= deadline) {
            NoteTimedOut();
        }
        const bool stop = StopRequested() || !OutputFailure().empty();
        if (stop) {
            for (size_t i = 0; i < next; ++i) {
                if (threads[i]) {
                    jobs[i]->PassStop();
                }
            }
            for (; next < count; ++next, ++done) {
                notReached(*jobs[next]);
            }
        }
        for (; next < count && running < limit; ++next, ++running) {
            Job* job = jobs[next];
            const size_t index = next;
            threads[index].reset(QThread::create([&, job, index] {
                run(*job);
                {
                    const std::lock_guard<std::mutex> lock(mutex);
                    ended.push_back(index);
                }
                endedCv.notify_one();
            }));
            const StopSignalsBlocked blocked; // inherited by the worker
            threads[index]->start();
        }
        std::vector<size_t> joining;
        {
            std::unique_lock<std::mutex> lock(mutex);
            endedCv.wait_for(lock, kWatchInterval, [&] { return !ended.empty(); });
            joining.swap(ended);
        }
        for (const size_t i : joining) {
            threads[i]->wait();
            threads[i].reset();
            --running;
            ++done;
        }
    }
}

} // namespace cli
