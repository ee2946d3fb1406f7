// One command on a whole line of sensors: every sensor of a targets file
// in this process, each on a worker thread of its own with a link of its
// own.
#pragma once

#include "cli/options.h"

namespace cli {

// Runs the command on every target at once (at most --jobs at a time for a
// command that ends by itself). Each sensor's messages go out as they come,
// prefixed with its address, and its result as soon as it has ended; then a
// summary (diff: the table). Returns the status of the worst failure, 0
// when all worked.
int RunOnTargets(const Options& options);

} // namespace cli
