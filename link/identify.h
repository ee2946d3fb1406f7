// Identification of the connected sensor (order 7) and the check of its
// firmware version: the first half of the connection test, without any
// question to the user, for every caller that needs to know whom it talks to.
#pragma once

#include "link/sensor_id.h"

namespace com232 {
class SensorLink;
}

#include <cstdint>
#include <string>

namespace com232 {

struct SensorIdentity {
    bool answered = false;     // order 7 was answered (otherwise the link reported why)
    uint16_t serialNumber = 0; // the answer's parameter word
    SensorIdParts parts;       // the identification text split as the check compares it
    bool versionMatches = false;
};

// Sends order 7 on `link` and checks the firmware version; the
// identification text goes to the link's SensorIdText.
SensorIdentity IdentifySensor(SensorLink& link);

// The refusal of a sensor with another firmware version: what the connection
// test tells the user before asking CLOSE or OFFLINE.
std::string FirmwareMismatchText(const SensorIdentity& identity);

} // namespace com232
