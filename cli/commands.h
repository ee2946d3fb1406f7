// The commands that talk to one sensor (and diff of two files).
#pragma once

#include "cli/command_parts.h"
#include "cli/job.h"

namespace cli {

// The parameter files of the command, read once on the calling thread.
ParameterInputs ReadInputs(const Options& options);

// The job's command on its sensor, on the job's worker: the address, the
// input files and the output path are checked before anything is sent to
// the sensor; then the link is opened, the sensor identified, the command
// run and the link closed. The outcome says a stop, a time-out and a failed
// write to standard output as such.
Outcome RunOnSensor(Job& job);

// The command on the one sensor the options address, on a worker while
// this thread watches for a stop, --timeout and a failed standard output;
// its result reported. Returns the exit status.
int RunOneSensor(const Options& options);

// What a sensor ends with that a stop reached before its turn.
Outcome NotReached(const Options& options);

} // namespace cli
