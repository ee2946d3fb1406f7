// The calibration page's side of the frame stream: the raw values and their
// spread follow every frame published for the calibration (GO and the white
// calibration), written at screen rate.
#pragma once

namespace calib {

// Subscribes the raw-value displays to the frame stream and installs their
// display writer (start-up; a second call changes nothing).
void InstallCalibrationDisplays();

} // namespace calib
