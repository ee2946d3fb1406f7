// Mapping between COM-port numbers (what the connection page and the panel
// settings hold) and Linux serial devices. Every device family has its own
// number range, so the mapping is the same in both directions on every run:
//
//   COM 1..100     /dev/ttyS0  .. /dev/ttyS99
//   COM 101..200   /dev/ttyUSB0 .. /dev/ttyUSB99
//   COM 201..300   /dev/ttyACM0 .. /dev/ttyACM99
//   COM 1000..9999 /dev/pts/0 .. /dev/pts/8999 (pseudo-terminals, e.g. the simulated sensor)
//
// Any other serial device (/dev/ttyAMA0, /dev/rfcomm0) has no COM number; it
// is opened by its path under the port key kComPortOfPath. Links such as
// /dev/serial/by-id/usb-... are followed to the device they name.
#pragma once

#include <string>

namespace platform {

constexpr int kComTtySBase = 1;
constexpr int kComTtyUsbBase = 101;
constexpr int kComTtyAcmBase = 201;
constexpr int kComPtsBase = 1000;
constexpr int kComPtsLast = 9999;
// The port key of a device opened by its path that has no COM number.
constexpr int kComPortOfPath = 10000;

// Device path of a COM-port number; empty when the number is in no range.
std::string ComPortToDevice(int comPort);

// COM-port number of a device path; -1 when the device is in no range.
int DeviceToComPort(const std::string& device);

// The device a path names, links followed; the path as given when it does
// not resolve (a device that is not there).
std::string CanonicalDevicePath(const std::string& path);

} // namespace platform
