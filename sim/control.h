// The control commands of the simulated sensor (standard input, the control
// socket and Simulator::Command): one command a line, one reply that ends
// with a newline (a list may be empty). Unknown commands and bad arguments
// get a reply starting "error:".
#pragma once

#include "sim/dispatcher.h"
#include "sim/fault_plan.h"

#include <cstdint>
#include <string>

namespace sim {

// What the commands act on; the server implements it.
class ControlContext {
public:
    virtual ~ControlContext() = default;
    virtual Dispatcher& GetDispatcher() = 0;
    virtual FaultPlan& Faults() = 0;
    virtual uint64_t NowUs() = 0;
    virtual FrameSink& Sink() = 0;
    // Closes the TCP client connection; false when none is open.
    virtual bool CloseClient() = 0;
    // "client=... tcp=... pty=..." part of the status line.
    virtual std::string TransportStatus() = 0;
};

std::string ExecuteControl(const std::string& line, ControlContext& context);
// The command list for --help and the `help` command.
std::string ControlHelp();

} // namespace sim
