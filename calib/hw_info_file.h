// The hardware information file for service: everything the program can
// learn about the connected sensor (identification, the hardware block of
// order 194, calibration factors, offsets, the parameter set) in one file.
#pragma once

namespace conn {

// Reads the parameter set, the calibration data and the hardware block from
// the sensor, asks for a file and writes it. Every outcome is reported in the
// message box of the connection page.
void GenerateHWInfoFile();

inline constexpr const char* kTextHwNoFileSelected = "ATTENTION!   NO FILE WAS SELECTED!\n\n";
inline constexpr const char* kTextHwSaved = "HARDWARE INI FILE HAS BEEN SAVED TO:\n";
inline constexpr const char* kTextHwNotSaved =
    "ATTENTION!   HARDWARE INI FILE COULD NOT BE SAVED TO:\n";

} // namespace conn
