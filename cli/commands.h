// The commands that talk to one sensor.
#pragma once

#include "cli/options.h"
#include "params/parameter_layout.h"

#include <cstdint>

namespace cli {

// Reads the parameter set from RAM (from the EEPROM with `eeprom`) and puts
// it through the operating-mode rules as the program's GET does, so that
// the blocks hold what the program would hold; the rules' warnings go to
// standard error. False after a link failure (in com232::StatusText).
bool ReadSetAsTheProgram(uint16_t set, bool eeprom, params::ParameterBlockBytes* block,
                         params::TeachTableBytes* table);

// Connects to the sensor the options address, runs the command and returns
// the exit status.
int RunSensorCommand(const Options& options);

} // namespace cli
