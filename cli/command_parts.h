// The parts of the commands on one sensor, for cli/commands.cpp that runs
// them: the parameter-set commands, diff, and the parameter files they read
// before the sensor is touched.
#pragma once

#include "cli/acquire.h"
#include "cli/job.h"
#include "params/parameter_file_io.h"

#include <string>
#include <vector>

namespace cli {

// A parameter file given on the command line, read whole.
struct ParameterInput {
    std::string name; // the path, or "standard input"
    params::ParameterFileRead read;
};

// The parameter files of send and diff, read once before any sensor is
// touched (for a line, once for all its sensors).
struct ParameterInputs {
    int status = kExitDone; // kExitFile: `problems` says what is wrong
    std::string problems;
    std::string warnings; // keys sent with the defaults (--allow-defaults)
    std::vector<ParameterInput> files;
};

// Reads `path` ("-": the standard input the options hold). kExitDone, or
// kExitFile with what is wrong in *problems: a file that cannot be read or
// is not a parameter file, keys given twice, and keys missing or out of
// range (with `allowDefaults` only a warning, added to *warnings).
int ReadParameterInput(const Options& o, const std::string& path, bool allowDefaults,
                       ParameterInput* input, std::string* problems, std::string* warnings);

Outcome Get(Job& j, const std::string& path);
Outcome Send(Job& j, const ParameterInput& file);
// diff against the connected sensor (its differences kept in the job), or
// of two files (no sensor).
Outcome DiffWithSensor(Job& j, const ParameterInput& reference);
Outcome DiffFiles(Job& j, const ParameterInput& reference, const ParameterInput& other);

} // namespace cli
