#include "cli/signals.h"

#include <atomic>
#include <csignal>
#include <pthread.h>

namespace cli {
namespace {

// Set by a handler, read by the watching thread and the workers: lock-free
// atomics are safe in both.
std::atomic<bool> gStop{false};
std::atomic<bool> gTimedOut{false};
static_assert(std::atomic<bool>::is_always_lock_free);

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

void OnStopSignal(int) {
    gStop = true;
}

void Install(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

} // namespace

void InstallStopSignals() {
    for (const int s : kStopSignals) {
        Install(s, OnStopSignal);
    }
    Install(SIGPIPE, SIG_IGN);
}

StopSignalsBlocked::StopSignalsBlocked() {
    sigset_t block;
    sigemptyset(&block);
    for (const int s : kStopSignals) {
        sigaddset(&block, s);
    }
    pthread_sigmask(SIG_BLOCK, &block, &saved_);
}

StopSignalsBlocked::~StopSignalsBlocked() {
    pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
}

bool StopRequested() {
    return gStop || gTimedOut;
}

bool TimedOut() {
    return gTimedOut;
}

void NoteTimedOut() {
    gTimedOut = true;
}

} // namespace cli
