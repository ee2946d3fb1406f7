#include "platform/wake_latency.h"

#include <cerrno>
#include <cstdint>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform {
namespace {

// The kernel's scheduling attributes (linux/sched/types.h, whose header
// clashes with the C library's).
struct SchedAttr {
    uint32_t size;
    uint32_t sched_policy;
    uint64_t sched_flags;
    int32_t sched_nice;
    uint32_t sched_priority;
    uint64_t sched_runtime;
    uint64_t sched_deadline;
    uint64_t sched_period;
};

constexpr uint64_t kSliceNs = 100 * 1000;

} // namespace

void PreferShortWakeLatency() {
#ifdef SYS_sched_setattr
    // A short time slice for the ordinary policy, at the thread's own nice
    // value: a thread that wakes with a short slice is run before one that
    // is in the middle of a long one. Kernels without slices of their own
    // for ordinary threads take the call and change nothing.
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
    if (errno != 0) {
        return;
    }
    SchedAttr attr{};
    attr.size = sizeof attr;
    attr.sched_policy = SCHED_OTHER;
    attr.sched_nice = nice;
    attr.sched_runtime = kSliceNs;
    syscall(SYS_sched_setattr, 0, &attr, 0U);
#endif
}

} // namespace platform
