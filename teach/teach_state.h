// The teach assistants' state on one sensor, free of any panel: the graph
// teach's recorded points and whether it records, the mean-value teach's
// means and whether the live loop that opening its panel started runs.
#pragma once

#include "teach/recorded_points.h"

#include <cstdint>

namespace params {
class ParameterModel;
}

namespace teach {

struct TeachState {
    // The recorded points, index 0 first; they live until RESET.
    PointBuffer RecordedPoints;
    // Means of RED, GREEN, BLUE, X, Y, INT (or s, i, M) of the captured frames.
    uint16_t MeanValues[6] = {};
    // True while the graph teach's START runs.
    bool recording = false;
    // True while the live loop that opening the mean-value panel started runs.
    bool meanLoopRunning = false;

    // Start values.
    void Reset();
};

// Start values of the teach assistants' state and of the model's teach
// selection: row 0, tolerances taught (start-up).
void ResetTeachState(TeachState& state, params::ParameterModel& model);

} // namespace teach
