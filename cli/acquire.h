// The commands that take measurements and hardware data from one connected
// sensor: live frames, recordings, the scope, the cycle time and the
// hardware information file.
#pragma once

#include "cli/job.h"

#include <string>

namespace cli {

Outcome Live(Job& j);
// `path` "-": the record file on standard output.
Outcome Record(Job& j, const std::string& path);
Outcome HardwareInfo(Job& j, const std::string& path);
Outcome CycleTime(Job& j);
Outcome Scope(Job& j, const std::string& path);

} // namespace cli
