// Mapping between COM-port numbers (what the connection page and the panel
// settings hold) and Linux serial devices. Every device family has its own
// number range, so the mapping is the same in both directions on every run:
//
//   COM 1..100     /dev/ttyS0  .. /dev/ttyS99
//   COM 101..200   /dev/ttyUSB0 .. /dev/ttyUSB99
//   COM 201..300   /dev/ttyACM0 .. /dev/ttyACM99
//   COM 1000..9999 /dev/pts/0 .. /dev/pts/8999 (pseudo-terminals, e.g. the simulated sensor)
#pragma once

#include <string>

namespace platform {

constexpr int kComTtySBase = 1;
constexpr int kComTtyUsbBase = 101;
constexpr int kComTtyAcmBase = 201;
constexpr int kComPtsBase = 1000;
constexpr int kComPtsLast = 9999;

// Device path of a COM-port number; empty when the number is in no range.
std::string ComPortToDevice(int comPort);

// COM-port number of a device path; -1 when the device is in no range.
int DeviceToComPort(const std::string& device);

} // namespace platform
