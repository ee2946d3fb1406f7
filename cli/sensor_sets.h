// Reading a parameter set from the connected sensor for get and diff. From
// the EEPROM the sensor gives a set only by loading the EEPROM into RAM
// (order 4, both sets): the working set it ran with is replaced. That is
// said whenever the RAM sets read before differed, and with `keepRam` the
// RAM sets are sent back afterwards and verified.
#pragma once

#include "cli/job.h"
#include "sensor/set_compare.h"

#include <string>

namespace cli {

struct SensorSetRead {
    int status = kExitDone; // kExitLink, or kExitRefused when RAM could not be restored
    std::string message;
    SetWords words; // the set asked for, as the sensor holds it
    // --eeprom: the RAM set numbers whose contents differed from the
    // EEPROM's, and whether they are gone (false with --keep-ram).
    std::vector<int> ramSetsReplaced;
    bool ramLost = false;
};

SensorSetRead ReadSensorSet(Job& j);

// The set as the program holds it after GET (the mode rules applied); the
// rules' warnings in *warnings.
SetWords AsTheProgramHoldsIt(const SetWords& sensor, std::vector<std::string>* warnings);

} // namespace cli
