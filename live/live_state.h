// The live displays' model state of one sensor, kept without any window:
// the strip-chart histories, which take every frame published for the
// displays with the band of the teach row selected for teaching, the
// extents the colour-space views centre on, the signal-graph series, and
// the state of the GO loop.
#pragma once

#include "live/live_frame.h"
#include "live/live_math.h"
#include "platform/notifier.h"

namespace params {
class ParameterModel;
}

namespace live {

class FrameStream;

// Counts of the GO loop since the sensor was made (benchmarks): frames
// shown and exchanges that failed.
struct GoCounters {
    unsigned long long frames = 0;
    unsigned long long failures = 0;
};

// The extents before any teach row is drawn.
inline constexpr Extents kStartExtents{0, 10000, 0, 10000, 0, 10000};

class LiveState {
public:
    // Takes the frames published on `frames`, with the selected row of `model`.
    LiveState(FrameStream& frames, const params::ParameterModel& model);
    LiveState(const LiveState&) = delete;
    LiveState& operator=(const LiveState&) = delete;

    History RgbHistory; // RED, GREEN, BLUE of the last 100 frames
    History IntHistory; // INT, upper band, lower band of the last 100 frames
    Extents GraphExtents = kStartExtents;
    // The frames of the signal graphs (a recording's).
    SignalSeries SignalGraphSeries;
    // True while a GO loop runs on the sensor (a second must not start).
    bool GoRunning = false;
    GoCounters GoLoopCounters;

    // Appends `frame` to RgbHistory and IntHistory (with the selected teach
    // row's band).
    void PushHistories(const LiveDataFrameBytes& frame);
    // Histories and extents to their start values.
    void ResetHistories();

private:
    const params::ParameterModel& model_;
    platform::Subscription histories_;
};

// The intensity and tolerance of the teach row selected for teaching.
IntensityOfRow SelectedRowBand(const params::ParameterModel& model);

} // namespace live
