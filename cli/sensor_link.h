// Reaching the sensor from the command line: the address as the options or
// a settings file give it (sensor/address.h), and the connection test with
// the tool's exit statuses.
#pragma once

#include "cli/options.h"
#include "sensor/address.h"

#include <string>
#include <vector>

namespace cli {

using sensor::Address;

// The address the options give (--tcp, --com, --device, --baud, --settings):
// kExitDone, kExitUsage for an option that names no sensor, kExitFile for a
// settings file that cannot be read; the reason in *error.
int AddressFromOptions(const Options& options, Address* address, std::string* error);

// `pattern` with {serial} and {address} replaced; the address made safe as
// part of a file name.
std::string ExpandOutputName(const std::string& pattern, const std::string& address,
                             unsigned serial);

struct Connection {
    int status = kExitDone; // kExitLink, kExitRefused
    std::string message;    // why not
    com232::SensorIdentity identity;
};

// sensor::Connect with the tool's exit statuses (kExitLink, kExitRefused).
Connection Connect(com232::SensorLink& link, const Address& address);

} // namespace cli
