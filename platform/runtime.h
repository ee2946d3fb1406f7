// The run-time services the program is written against: one user-interface
// thread, nested event processing, a monotonic clock, and the main loop.
#pragma once

namespace platform {

// Creates the application object when there is none yet (tests and the
// program both call it first). Returns false when no GUI can be started.
// With the windows (c3platform): the link and the rest of the run-time
// below it (c3platform_core) need no Qt Widgets.
bool InitRuntime(int& argc, char** argv);
// Deletes the application object made by InitRuntime (end of the program).
void ShutdownRuntime();
// The same without windows (c3platform_core): an application object without
// a GUI for programs that talk to the sensor from a terminal. Popups keep
// answering at once as without windows.
bool InitCoreRuntime(int& argc, char** argv);
void ShutdownCoreRuntime();

// Runs every pending callback (user interface, serial port, TCP client) on
// the calling thread and returns. When nothing is pending it waits for the
// next event, but never longer than a few milliseconds, so a loop that polls
// for the sensor costs almost no CPU and still wakes the moment bytes arrive.
void ProcessSystemEvents();
// The same, waiting up to `maxWaitMs` when nothing is pending; a wait is
// ended at once by the next event or by WakeEventWait.
void ProcessSystemEventsFor(int maxWaitMs);
// From any thread: ends the wait of ProcessSystemEventsFor in progress on
// the user-interface thread (a worker that has finished).
void WakeEventWait();
// Runs every callback that is pending now and returns without waiting.
void ProcessPendingEvents();
// True while ProcessSystemEvents runs (at any depth): what it ends with
// (the TCP dispatch) need not be scheduled separately.
bool InsideProcessSystemEvents();

// Seconds since an arbitrary start, monotonic, double precision.
double Timer();

// Runs the event loop until QuitUserInterface. Returns the code given to it.
// Returns at once when QuitUserInterface was called before.
int RunUserInterface();
void QuitUserInterface(int code);
bool QuitRequested();
// For tests: forget an earlier QuitUserInterface.
void ResetQuitRequest();

// Hourglass while a blocking operation (TCP connect) runs; nothing until
// InitRuntime has installed the windows' handler.
void SetWaitCursor(int on);
void SetWaitCursorHandler(void (*handler)(int on));

} // namespace platform
