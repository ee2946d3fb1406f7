// Wiring of the calibration and offset pages: each control gets its help
// text (right click) and, once the behaviour is in place, its action.
#pragma once

namespace calib {

void WireCalibrationPage();
void WireOffsetPage();

} // namespace calib
