// The recordings as runs on the link, free of any panel: the timed
// recording (a request for a frame at a fixed pace, a count of them or
// without end) and the triggered recording (the sensor sends a frame by
// itself on every trigger and the run takes them from the link as they
// come). The recorder page and the command-line tool run the same loops;
// what happens with each frame (displays, the record file) is theirs.
//
// A run ends when its link's AcquisitionRunning is cleared: STOP RECORD, a
// signal, the count reached, a link failure (reported by the link), or a
// frame its sink refuses.
#pragma once

#include "live/live_frame.h"

namespace com232 {
class SensorLink;
}

#include <cstdint>
#include <functional>

namespace record {

// What a run does with each frame it receives, and what it reports.
struct RunHooks {
    // A received frame; false ends the run (the line could not be written).
    std::function<bool(const live::LiveDataFrameBytes&)> frame;
    // The counters have changed (called after every cycle; may be empty).
    std::function<void()> counters;
    // The start of every request of a timed run, on the run-time clock
    // (benchmarks and tests of the pace; may be empty).
    std::function<void(double now)> cycle;
};

struct RunCounters {
    uint32_t recorded = 0; // requests of a counted timed run (a failed exchange counts)
    double runCounter = 0; // requests of an endless run, frames of a triggered run
};

// A timed recording: mode kModeTimedCount (stops after `count` requests) or
// kModeTimedEndless; requests `interval` seconds apart from request start to
// request start (no less than kMinRecordInterval).
struct TimedRun {
    int mode = 0;
    double interval = 1.0;
    uint32_t count = 0;
};
void RunTimedRecording(com232::SensorLink& link, const TimedRun& run, const RunHooks& hooks,
                       RunCounters* counters);

// A triggered recording: order 30 with 1, then every live frame the sensor
// sends goes to the sink until the run is stopped or, with `maxFrames`
// other than 0, that many frames are in. Frames already received whole when
// it is stopped are still taken. False when the sensor did not acknowledge
// the order (the link has reported it); automatic sending is then off.
// The caller stops automatic sending afterwards with StopAutoSend.
bool RunTriggeredRecording(com232::SensorLink& link, const RunHooks& hooks, RunCounters* counters,
                           uint32_t maxFrames = 0);

// Order 30 with 0: the sensor stops sending frames by itself. Nothing is
// sent when the connection is gone.
void StopAutoSend(com232::SensorLink& link);

} // namespace record
