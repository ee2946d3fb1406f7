// The parts of the commands on one sensor, for cli/commands.cpp that runs
// them: the parameter-set commands, diff, and the parameter files they read
// before the sensor is touched.
#pragma once

#include "cli/acquire.h"
#include "cli/job.h"
#include "params/parameter_file_io.h"

#include <string>

namespace cli {

// A parameter file given on the command line, read whole.
struct ParameterInput {
    std::string name; // the path, or "standard input"
    params::ParameterFileRead read;
};

// Reads `path` ("-": the standard input the options hold). kExitDone, or
// kExitFile with what is wrong in *problems: a file that cannot be read or
// is not a parameter file, keys given twice, and (unless `allowDefaults`,
// then only as a warning) keys missing or out of range.
int ReadParameterInput(Job& j, const std::string& path, bool allowDefaults, ParameterInput* input,
                       std::string* problems);

Outcome Get(Job& j, const std::string& path);
Outcome Send(Job& j, const ParameterInput& file);
// diff against the connected sensor (its differences kept in the job), or
// of two files (no sensor).
Outcome DiffWithSensor(Job& j, const ParameterInput& reference);
Outcome DiffFiles(Job& j, const ParameterInput& reference, const ParameterInput& other);

} // namespace cli
