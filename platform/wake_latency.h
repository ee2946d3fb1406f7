// A hint to the scheduler for threads that wait for a line and must answer
// it at once (a sensor's polling, the simulated sensor's line).
#pragma once

namespace platform {

// Asks the system to run the calling thread soon after what it waits for
// has come, rather than queue it behind a busy thread (a window's drawing)
// for a whole time slice. Only a hint, at the thread's own priority;
// without effect where the system has no such hint.
void PreferShortWakeLatency();

} // namespace platform
