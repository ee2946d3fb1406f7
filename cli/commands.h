// The commands that talk to one sensor (and diff of two files).
#pragma once

#include "cli/options.h"

namespace cli {

// Connects to the sensor the options address, runs the command and returns
// the exit status; every output path and input file is checked before
// anything is sent to the sensor.
int RunSensorCommand(const Options& options);

// The same inside the run-time it needs (started here, numbers written with
// a decimal point whatever the locale), as the tool's process or as the run
// for one sensor of a line does it.
int RunSensorCommandWithRuntime(int argc, char** argv, const Options& options);

} // namespace cli
