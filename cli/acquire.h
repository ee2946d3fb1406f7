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

// Ctrl-C and SIGTERM end a running loop as STOP does: the handler only
// clears the run flags; the loop ends at its next check.
void InstallStopSignals();
bool StopRequested();

Outcome Live(const Options& options, const std::string& panelId);
Outcome Record(const Options& options, const std::string& path, const std::string& panelId);
Outcome CycleTime(const std::string& address);
Outcome HardwareInfo(const Options& options, const std::string& path);
Outcome Scope(const Options& options, const std::string& path);

} // namespace cli
