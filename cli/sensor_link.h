// Reaching the sensor from the command line: the address as the options or
// a settings file give it, opening the link and the connection test.
#pragma once

#include "cli/options.h"
#include "link/identify.h"

#include <string>
#include <vector>

namespace cli {

struct Address {
    bool serial = false;
    std::string host;
    unsigned port = 10001;
    int com = 0;
    std::string device; // --device: the path given (opened by it, links followed)
    unsigned baudrateIndex = 4;
    std::string name;    // "HOST:PORT", "com:N" or the device path, as results name the sensor
    std::string panelId; // the settings file's panel identification (record file header)
};

// The address the options give (--tcp, --com, --device, --baud, --settings):
// kExitDone, kExitUsage for an option that names no sensor, kExitFile for a
// settings file that cannot be read; the reason in *error.
int AddressFromOptions(const Options& options, Address* address, std::string* error);

// One line of a targets file as the options that address it ("--tcp" and
// "HOST:PORT", "--com" and "N", "--device" and "PATH"; a serial port's rate,
// com:N@RATE or PATH@RATE, adds "--baud" and "RATE"); an empty list for a
// blank or comment line. False with the line's fault in one sentence.
bool TargetLineOptions(const std::string& line, std::vector<std::string>* args, std::string* error);

// `pattern` with {serial} and {address} replaced; the address made safe as
// part of a file name.
std::string ExpandOutputName(const std::string& pattern, const std::string& address,
                             unsigned serial);

struct Connection {
    int status = kExitDone; // kExitLink, kExitRefused
    std::string message;    // why not
    com232::SensorIdentity identity;
};

// Opens `link` (a fresh one) to the sensor and identifies it, refusing
// another firmware version as the program's connection test does.
Connection Connect(com232::SensorLink& link, const Address& address);

} // namespace cli
