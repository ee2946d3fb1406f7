// How a command is ended from outside: Ctrl-C, SIGTERM and SIGHUP (a closed
// terminal, a dropped ssh session) end a running loop as STOP does and cut
// short a wait for an answer; --timeout does the same when its time is up.
// A write to a closed pipe is a failed write (reported), not a signal.
#pragma once

#include "scope/scope_run.h"

namespace cli {

// The capture state of the sensor's scope, which a stop breaks off.
scope::ScanState& CaptureState();

void InstallStopSignals();
// Starts the --timeout clock (seconds > 0).
void StartTimeout(double seconds);

// A stop signal or the time-out has come.
bool StopRequested();
bool TimedOut();
// Lets the exchanges after a stop reach the sensor again (stopping its
// automatic sending, breaking off a capture); they are bounded by the
// link's answer time-out and no longer cut short by a stop.
void AllowCleanUpExchanges();

} // namespace cli
