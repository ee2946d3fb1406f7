// The hardware information file for service: everything the program can
// learn about the connected sensor (identification, the hardware block of
// order 194, calibration factors, offsets, the parameter set) in one file.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace com232 {
class SensorLink;
}
namespace params {
class ParameterModel;
class TransferState;
} // namespace params

namespace conn {

// What writing the file needs of the pages that show the sensor: the
// calibration view reads the factors and offsets into its fields (order 102;
// 1, or -1 after a failure the link has reported) and tells what the fields
// hold; the connection page takes the reports into its message box.
struct HwInfoHooks {
    std::function<int()> getCalibration;
    std::function<void(uint16_t cf[3], uint16_t offsets[3])> calibrationValues;
    std::function<void(const std::string&)> appendMessage;
};

// Reads the parameter set (from the sensor's RAM, whatever the transfer
// target), the calibration data and the hardware block over `link`, asks
// for a file and writes it. A failed exchange ends it (the link has
// reported the failure); every other outcome goes to the message box.
void GenerateHWInfoFile(com232::SensorLink& link, params::TransferState& transfer,
                        params::ParameterModel& model, const HwInfoHooks& hooks);

inline constexpr const char* kTextHwNoFileSelected = "ATTENTION!   NO FILE WAS SELECTED!\n\n";
inline constexpr const char* kTextHwSaved = "HARDWARE INI FILE HAS BEEN SAVED TO:\n";
inline constexpr const char* kTextHwNotSaved =
    "ATTENTION!   HARDWARE INI FILE COULD NOT BE SAVED TO:\n";

} // namespace conn
