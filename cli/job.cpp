#include "cli/job.h"

#include <utility>

namespace cli {

Job::Job(Options options, std::string lineName)
    : o(std::move(options)), report(std::move(lineName)) {}

void Job::PassStop() {
    const std::lock_guard<std::mutex> lock(stopMutex_);
    stopped_ = true;
    if (!cleaningUp_) {
        sensor.link.RequestCancel();
        sensor.scan.ScanActive = 0;
    }
}

void Job::AllowCleanUp() {
    const std::lock_guard<std::mutex> lock(stopMutex_);
    cleaningUp_ = true;
    sensor.link.ClearCancel();
}

} // namespace cli
