// Reading the sensor's calibration and hardware data, free of any panel:
// the calibration page, the hardware information file and the command-line
// tool use the same orders.
#pragma once

#include "calib/hw_info_content.h"

namespace com232 {
class SensorLink;
}

#include <cstdint>
#include <string>

namespace calib {

// Order 102: the calibration factors and offsets (RED, GREEN, BLUE). 1, or
// -1 after a failure the link has reported. A shorter answer gives zeros for
// what it lacks.
int ReadCalibration(com232::SensorLink& link, uint16_t cf[3], uint16_t offsets[3]);

} // namespace calib

namespace hwinfo {

// Order 194 with the hardware key: the hardware block as the file's text
// (HardwareBlockText). False after a failure the link has reported.
bool ReadHardwareBlock(com232::SensorLink& link, std::string* dataText);

// Writes the hardware information file: beside `path` and renamed over it,
// so a failed write leaves an existing file as it was. 0, or the store's
// negative result.
int WriteHardwareInfoFile(const std::string& path, const HardwareInfo& info);

} // namespace hwinfo
