// One command on a whole line of sensors: a run of this tool for each
// sensor of a targets file, all at once, each with a link of its own.
#pragma once

#include "cli/options.h"

namespace cli {

// Runs the command on every target in parallel, prints one result line per
// sensor and a summary; the status of the worst failure, 0 when all worked.
int RunOnTargets(const Options& options, const char* program);

} // namespace cli
