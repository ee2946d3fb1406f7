// Sending a proven set and making sure the sensor holds it: the rows'
// reserved words (never in a file) kept as the sensor holds them, and the
// set read back and compared word by word. The command-line tool's send
// and the gateway's send command run these around params::WriteParaSet.
#pragma once

#include "sensor/set_compare.h"

#include <cstdint>
#include <string>
#include <vector>

namespace com232 {
class SensorLink;
}

namespace sensor {

// Gives the rows of `file` the reserved words of `current`.
void KeepReservedWords(SetWords* file, const SetWords& current);

struct Verification {
    bool read = false;       // the set could be read back (otherwise `failure` says why)
    std::string failure;     // the link's message
    std::string reports;     // plausibility reports of the read (an EEPROM load)
    const char* memory = ""; // "RAM" or "EEPROM"
    std::vector<Difference> differences; // sent -> read back
    bool Ok() const { return read && differences.empty(); }
};

// Reads set `set` back from RAM, or with `eeprom` from the EEPROM (which
// loads it into RAM), and compares it with `sent`.
Verification VerifySet(com232::SensorLink& link, uint16_t set, bool eeprom, const SetWords& sent);

// "Verification failed: the set in RAM differs in 2 words (sent -> read
// back):" and the words; or why it could not be read back.
std::string VerificationFailureText(const Verification& v);

} // namespace sensor
