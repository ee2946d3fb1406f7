// A request to give up the wait in progress, made from a signal handler
// (Ctrl-C, SIGTERM, SIGHUP or a time-out of the command-line tool): the
// link's waits for an answer and the TCP connect end at once instead of
// running into their time-outs. The request stays until it is cleared, so
// that every wait after it ends as well, until the caller has decided what
// still has to go to the sensor (stopping its automatic sending).
#pragma once

namespace platform {

// Async-signal-safe.
void RequestInterrupt();
bool InterruptRequested();
void ClearInterrupt();

} // namespace platform
