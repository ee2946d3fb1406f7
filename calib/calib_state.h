// The calibration's state on one sensor: whether a calibration command runs
// (the commands are dimmed meanwhile, and the flag keeps a second one from
// starting inside the first's waits), and whether it is the white
// calibration.
#pragma once

namespace calib {

struct CalibState {
    bool busy = false;
    bool whiteRunning = false;
};

} // namespace calib
