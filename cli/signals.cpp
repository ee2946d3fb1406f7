#include "cli/signals.h"

#include "link/com232.h"
#include "link/program_link.h"
#include "platform/interrupt.h"
#include "scope/scope_run.h"

#include <csignal>
#include <sys/time.h>

namespace cli {
namespace {

volatile std::sig_atomic_t gStop = 0;
volatile std::sig_atomic_t gTimedOut = 0;
volatile std::sig_atomic_t gCleaningUp = 0;

void Stop() {
    gStop = 1;
    com232::ProgramLink().AcquisitionRunning = 0;
    CaptureState().ScanActive = 0;
    // The exchanges that leave the sensor as it was are not cut short: a
    // stop passed on by the run of a whole line may come right behind the
    // terminal's own.
    if (gCleaningUp == 0) {
        platform::RequestInterrupt();
    }
}

void OnStopSignal(int) {
    Stop();
}

void OnAlarm(int) {
    gTimedOut = 1;
    Stop();
}

void Install(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

} // namespace

scope::ScanState& CaptureState() {
    static scope::ScanState scan;
    return scan;
}

void InstallStopSignals() {
    Install(SIGINT, OnStopSignal);
    Install(SIGTERM, OnStopSignal);
    Install(SIGHUP, OnStopSignal);
    Install(SIGALRM, OnAlarm);
    Install(SIGPIPE, SIG_IGN);
}

void StartTimeout(double seconds) {
    itimerval timer{};
    const auto micros = static_cast<long long>(seconds * 1e6);
    timer.it_value.tv_sec = static_cast<time_t>(micros / 1000000);
    timer.it_value.tv_usec = static_cast<suseconds_t>(micros % 1000000);
    if (timer.it_value.tv_sec == 0 && timer.it_value.tv_usec == 0) {
        timer.it_value.tv_usec = 1;
    }
    setitimer(ITIMER_REAL, &timer, nullptr);
}

bool StopRequested() {
    return gStop != 0;
}

bool TimedOut() {
    return gTimedOut != 0;
}

void AllowCleanUpExchanges() {
    gCleaningUp = 1;
    platform::ClearInterrupt();
}

} // namespace cli
