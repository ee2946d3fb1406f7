// The values of the configuration as the file and the command line give
// them, checked one by one: each setter takes the text of one key and says
// in one sentence what is wrong with it.
#pragma once

#include "gateway/config.h"

#include <map>
#include <string>
#include <vector>

namespace gateway {

// Values a [gateway] section or the command line gives every sensor that
// has none of its own.
struct SensorDefaults {
    double rate = 0;
    std::string tableAttributes;
};

// A sensor section as read, before the defaults are applied.
struct SensorEntry {
    SensorConfig sensor;
    bool addressGiven = false;
    bool rateGiven = false;
    bool baudGiven = false;
    long baud = 0;
};

// Each returns an empty text when `value` was taken, else why not.
std::string SetBrokerKey(BrokerConfig* b, const std::string& key, const std::string& value);
std::string SetGatewayKey(Config* c, SensorDefaults* d, const std::string& key,
                          const std::string& value);
std::string SetSensorKey(SensorEntry* s, const std::string& key, const std::string& value);

// "HOST[:PORT]" of --broker.
std::string SetBrokerAddress(BrokerConfig* b, const std::string& value);

// Applies the defaults, reads the password and the table-attributes files
// and checks what only the whole tells (sensors named twice, TLS files
// that go together). Appends its faults to *problems.
void Complete(Config* c, const SensorDefaults& d, std::vector<SensorEntry>& entries,
              std::string* problems);

} // namespace gateway
