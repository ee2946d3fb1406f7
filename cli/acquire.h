// The commands that take measurements and hardware data from one connected
// sensor: live frames, recordings, the scope, the cycle time and the
// hardware information file.
#pragma once

#include "cli/options.h"

#include <string>

namespace cli {

struct Outcome {
    int status = kExitDone;
    std::string message; // why not done
};

Outcome Live(const Options& options, const std::string& panelId);
// `path` "-": the record file on standard output.
Outcome Record(const Options& options, const std::string& path, const std::string& panelId);
Outcome HardwareInfo(const Options& options, const std::string& path);
Outcome CycleTime();
Outcome Scope(const Options& options, const std::string& path);

} // namespace cli
