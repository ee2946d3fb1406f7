// The sensors' commands on worker threads, one per sensor, and the calling
// thread as their watcher.
#pragma once

#include "cli/job.h"

#include <cstddef>
#include <functional>
#include <vector>

namespace cli {

// Runs `run` for every job on a worker thread of its own, in order, at most
// `limit` at once (the others wait their turn); `run` reports the job's
// result itself as it ends. The calling thread watches meanwhile: a stop
// signal, `timeout` seconds (> 0) run out or a failed write to standard
// output is passed to every running job until it ends, and the jobs not
// started yet get `notReached` instead of `run`, on the calling thread.
// Returns once every job has ended.
void RunJobs(const std::vector<Job*>& jobs, size_t limit, double timeout,
             const std::function<void(Job&)>& run, const std::function<void(Job&)>& notReached);

} // namespace cli
