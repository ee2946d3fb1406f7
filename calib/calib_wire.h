// Wire payloads of the calibration orders 100..103.
#pragma once

#include <cstddef>
#include <cstdint>

namespace calib {

constexpr uint16_t kDefaultCf = 1024; // CALIBRATED = RAW * CF / 1024
constexpr uint16_t kMaxCf = 4096;

constexpr uint16_t kWriteCalibFactors = 0; // parameter word of order 101
constexpr uint16_t kWriteCalibOffsets = 1;

constexpr size_t kWriteCalibSize = 6; // red, green, blue
constexpr size_t kReadCalibSize = 12; // CF red, green, blue, offset red, green, blue
constexpr size_t kSelfCalibSize = 10; // CF red, green, blue, SETVALUE, MAXIMUM DELTA

} // namespace calib
