// One command on a whole line of sensors: a run of this tool for each
// sensor of a targets file, all at once, each with a link of its own.
#pragma once

#include "cli/options.h"

namespace cli {

// Runs the command on every target in parallel, each in a process of its
// own. Each sensor's messages are passed on as they come, prefixed with its
// address, and its result as soon as it has ended; then a summary (diff: the
// table). Returns the status of the worst failure, 0 when all worked. Called
// before the run-time has started: the processes for the sensors are copies
// of this one.
int RunOnTargets(const Options& options);

} // namespace cli
