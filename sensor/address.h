// Where a sensor is and reaching it, for every process that holds sensors
// without a window (the command-line tool, the gateway): the address as a
// targets file, the options or a configuration give it ("HOST[:PORT]",
// "com:N" or a device path), opening the link and the connection test.
#pragma once

#include "link/identify.h"

#include <string>
#include <vector>

namespace com232 {
class SensorLink;
}

namespace sensor {

struct Address {
    bool serial = false;
    std::string host;
    unsigned port = 10001;
    int com = 0;
    std::string device; // the path given (opened by it, links followed)
    unsigned baudrateIndex = 4;
    std::string name;    // "HOST:PORT", "com:N" or the device path, as results name the sensor
    std::string panelId; // the settings file's panel identification (record file header)
};

// HOST[:PORT] (an IPv6 address in brackets); false with the reason.
bool SplitHostPort(const std::string& text, std::string* host, unsigned* port, std::string* error);

// The index (0..7) of a baud rate the sensor supports; false for any other.
bool BaudrateIndexOf(long baud, unsigned* index);

// One target as the addressing options take it ("--tcp" and "HOST:PORT",
// "--com" and "N", "--device" and "PATH"; a serial port's rate, com:N@RATE
// or PATH@RATE, adds "--baud" and "RATE"), from a line of a targets file or
// a configuration value; an empty list for a blank or comment line. False
// with the fault in one sentence.
bool TargetLineOptions(const std::string& line, std::vector<std::string>* args, std::string* error);

// Sets the transport part of *address (and the rate a serial target
// carries) from the options of a target (TargetLineOptions) and names it. False with the reason.
bool AddressOfTarget(const std::vector<std::string>& args, Address* address, std::string* error);

// "HOST:PORT" (an IPv6 host in brackets), "com:N" or the device path.
std::string AddressName(const Address& address);

enum class ConnectResult { Connected, LinkFailed, Refused };

struct Connection {
    ConnectResult result = ConnectResult::Connected;
    std::string message; // why not
    com232::SensorIdentity identity;
};

// Opens `link` (a fresh one) to the sensor and identifies it, refusing
// another firmware version as the program's connection test does.
Connection Connect(com232::SensorLink& link, const Address& address);

} // namespace sensor
