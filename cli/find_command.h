// chromik3-cli find: the sensors that answer on the serial ports (all the
// system lists, or those given) at every baud rate (or those given), and on
// the TCP/IP addresses given; optionally written as a targets file.
#pragma once

#include "cli/options.h"

namespace cli {

// Runs the search while this thread watches for a stop and --timeout, and
// prints each port's verdict as it comes and a summary. Returns the exit
// status: 0 when a sensor answered, 2 when none did or the search was cut
// short, 1 for a malformed or (without --force) too large range, 4 when the
// targets file cannot be written.
int RunFind(const Options& options);

} // namespace cli
