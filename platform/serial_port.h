// Serial ports addressed by COM-port number (see platform/com_port_map.h for the
// mapping to Linux devices).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

// Error codes of OpenComConfig and the other port operations.
constexpr int kComUnknownSystemError = -1;
constexpr int kComInvalidPortNumber = -2;
constexpr int kComPortNotOpen = -3;
constexpr int kComIoError = -4;
constexpr int kComNoSerialPortFound = -6;
constexpr int kComCannotOpenPort = -7;
constexpr int kComInvalidBaudrate = -14;
constexpr int kComTimeout = -99;

// Line error bits returned by GetComStat.
constexpr int kComStatLineLost = 0x0100; // device gone (hang-up, unplugged)
constexpr int kComStatReadError = 0x0200;
constexpr int kComStatWriteError = 0x0400;

// Ports are addressed by a key: the COM number, or a key of NewComKey for a
// port opened by its device path. The table of open ports is shared by all
// threads; each port is used by the thread that opened it.
//
// A key no COM number uses (above every range), for opening a device by its
// path alongside other ports in the same process.
int NewComKey();
// Opens the port: `deviceName` empty means the device of the port number.
// Parity 0 none, 1 odd, 2 even. Returns 0 or a negative error code.
// The queue sizes are accepted for compatibility; the input queue grows as
// needed, so no received byte is dropped.
int OpenComConfig(int comPort, const std::string& deviceName, long baudRate, int parity,
                  int dataBits, int stopBits, int inputQueueSize, int outputQueueSize);
// Closing a port that is not open is harmless.
int CloseCom(int comPort);
int SetComTime(int comPort, double timeoutSeconds);
int SetCTSMode(int comPort, int mode);
int FlushInQ(int comPort);
int FlushOutQ(int comPort);
// Writes all bytes within the port time-out; returns the count or a negative code.
int ComWrt(int comPort, const void* data, size_t count);
// Reads `count` bytes, blocking at most the port time-out; returns the count
// read (fewer on a time-out) or a negative code.
int ComRd(int comPort, void* buffer, size_t count);
// Reads what has arrived, at most `room` bytes, without waiting; returns the
// count (0 also for a lost line) or a negative code.
int ComRdArrived(int comPort, void* buffer, size_t room);
// Bytes waiting in the input queue, or a negative code.
int GetInQLen(int comPort);
// Blocks up to timeoutMs, without processing events, until bytes can be
// read; false when none came or the port is not open.
bool WaitComReadable(int comPort, int timeoutMs);
// Line error bits since the last call; positive means a line error.
int GetComStat(int comPort);
bool IsComOpen(int comPort);
// Gives the port to `thread` (platform/worker_thread.h), which uses it from
// then on; called on the thread that uses it now. A window lends its port to
// a worker this way, and the worker gives it back before it ends.
void GiveComToThread(int comPort, void* thread);
// True while some key holds `device` open (tests, diagnostics).
bool IsComDeviceOpen(const std::string& device);

struct SerialPortDescription {
    int comPort = 0;
    std::string device;
    std::string description;
};
// The serial ports present on this machine, ordered by COM number.
// Pseudo-terminals are not listed; their numbers can still be typed in.
std::vector<SerialPortDescription> ListSerialPorts();

} // namespace platform
