// Splitting of the sensor's identification text (answer to order 7) into
// its version part and the rest, as the connection test compares it.
#pragma once

#include <string>

namespace com232 {

// The firmware version this program works with.
inline constexpr const char* kScopeFirmwareVersion = "CHROMIK3 V4.3";

struct SensorIdParts {
    std::string a; // up to the first "."
    std::string b; // up to the next "."
    std::string c; // everything after the token that follows B and ends at a blank
    std::string Version() const { return a + "." + b; }
    std::string Display() const { return a + "." + b + c; }
};

// Tokens are read as by a tokenizer that skips empty tokens: A ends at the
// first ".", B at the next "."; then one token ending at a blank is read and
// dropped; C is all the rest. Absent tokens are empty.
SensorIdParts SplitSensorId(const std::string& text);

} // namespace com232
