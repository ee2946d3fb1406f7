// The commands that talk to one sensor.
#pragma once

#include "cli/options.h"

namespace cli {

// Connects to the sensor the options address, runs the command and returns
// the exit status.
int RunSensorCommand(const Options& options);

} // namespace cli
