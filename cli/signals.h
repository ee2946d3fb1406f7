// How the tool is ended from outside: Ctrl-C, SIGTERM and SIGHUP (a closed
// terminal, a dropped ssh session) end every sensor's run as STOP does and
// cut short a wait for an answer; --timeout does the same when its time is
// up. The handlers only note the stop; the thread that watches the
// sensors' workers passes it on to each (cli/workers.h). A write to a
// closed pipe is a failed write (reported), not a signal.
#pragma once

#include <signal.h>

namespace cli {

void InstallStopSignals();

// Blocks the stop signals in the calling thread while it lives: a worker
// started meanwhile inherits the mask, so the signals always reach the
// watching thread and never cut a worker's system call short.
class StopSignalsBlocked {
public:
    StopSignalsBlocked();
    ~StopSignalsBlocked();
    StopSignalsBlocked(const StopSignalsBlocked&) = delete;
    StopSignalsBlocked& operator=(const StopSignalsBlocked&) = delete;

private:
    sigset_t saved_;
};

// A stop signal or the time-out has come.
bool StopRequested();
bool TimedOut();
// The watcher found --timeout run out.
void NoteTimedOut();

} // namespace cli
