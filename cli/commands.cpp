#include "cli/commands.h"

#include "cli/acquire.h"
#include "cli/command_parts.h"
#include "cli/outputs.h"
#include "cli/report.h"
#include "cli/signals.h"
#include "link/com232.h"
#include "link/program_link.h"
#include "platform/runtime.h"

#include <clocale>
#include <filesystem>

namespace cli {
namespace {

Outcome Ident(const com232::SensorIdentity& id) {
    Say(id.parts.Display() + "\nSERIAL NUMBER: " + std::to_string(id.serialNumber));
    EmitJson("ident", {{"id", Q(com232::ProgramLink().SensorIdText)},
                       {"display", Q(id.parts.Display())},
                       {"firmware", Q(id.parts.Version())}});
    return {};
}

// The directory part of an output pattern can be checked before the sensor
// is reached unless it names the sensor ({serial}, {address}).
bool CheckableBeforeConnecting(const std::string& pattern) {
    return std::filesystem::path(pattern).parent_path().string().find('{') == std::string::npos;
}

std::string OutputProblem(const std::string& path) {
    const std::string problem = OutputPathProblem(path);
    return problem.empty() ? problem
                           : "-o " + path + ": " + problem + "; nothing was sent to the sensor.";
}

// The parameter files of send and diff, read before the sensor is touched.
int ReadInputs(const Options& o, std::vector<ParameterInput>* inputs, std::string* problems) {
    for (const std::string& path : o.files) {
        ParameterInput input;
        const bool allow = o.command == "send" && o.allowDefaults;
        const int status = ReadParameterInput(o, path, allow, &input, problems);
        if (status != kExitDone) {
            if (o.command == "send" && input.read.givenTwice.empty() &&
                input.read.isParameterFile && input.read.readResult >= 0) {
                *problems += "\nNothing was sent (--allow-defaults sends it with the defaults).";
            }
            return status;
        }
        inputs->push_back(std::move(input));
    }
    return kExitDone;
}

Outcome RunOnSensor(const Options& o, const Sensor& s, const Connection& c,
                    const std::vector<ParameterInput>& inputs) {
    const std::string path = ExpandOutputName(o.output, s.address.name, s.serial);
    if (!o.output.empty()) {
        const std::string problem = OutputProblem(path);
        if (!problem.empty()) {
            return {kExitFile, problem};
        }
    }
    const std::string& c0 = o.command;
    if (c0 == "ident") {
        return Ident(c.identity);
    }
    if (c0 == "get") {
        return Get(o, path);
    }
    if (c0 == "send") {
        return Send(o, inputs.front());
    }
    if (c0 == "diff") {
        return DiffWithSensor(o, s, inputs.front());
    }
    if (c0 == "live") {
        return Live(o, s.address.panelId);
    }
    if (c0 == "record") {
        return Record(o, path, s.address.panelId);
    }
    if (c0 == "cycle-time") {
        return CycleTime();
    }
    if (c0 == "hwinfo") {
        return HardwareInfo(o, path);
    }
    return Scope(o, path);
}

// The status and message after the command: a time-out or a stop that cut
// it short, and a failed write to standard output, are said as such.
Outcome Concluded(const Options& o, Outcome r) {
    if (TimedOut()) {
        r = {kExitLink, "The command did not end within --timeout " + Decimal(o.timeout, 3) +
                            " s." + (r.message.empty() ? "" : "\n" + r.message)};
    } else if (StopRequested() && r.status == kExitLink) {
        r.message = "Stopped by a signal before the command ended.\n" + r.message;
    }
    if (r.status == kExitDone && !OutputFailure().empty()) {
        r = {kExitFile, OutputFailure()};
    }
    return r;
}

int Finish(const Options& o, const Sensor& s, Outcome r) {
    r = Concluded(o, r);
    EmitResult(s.address.name, s.serial, r.status, r.message);
    if (r.status == kExitDone && !OutputFailure().empty()) {
        Warn("chromik3-cli: " + OutputFailure());
        return kExitFile;
    }
    return r.status;
}

} // namespace

int RunSensorCommand(const Options& o) {
    Sensor s;
    const bool twoFiles = o.command == "diff" && o.files.size() == 2;
    std::string error;
    const int addressStatus = twoFiles ? kExitDone : AddressFromOptions(o, &s.address, &error);
    if (addressStatus == kExitUsage) {
        return UsageError(error, HelpText(o.command));
    }
    SetJsonSensor(s.address.name, 0);
    if (addressStatus != kExitDone) {
        return Finish(o, s, {addressStatus, error});
    }
    std::vector<ParameterInput> inputs;
    std::string problems;
    if (ReadInputs(o, &inputs, &problems) != kExitDone) {
        return Finish(o, s, {kExitFile, problems});
    }
    if (twoFiles) {
        return Finish(o, s, DiffFiles(o, inputs[0], inputs[1]));
    }
    if (!o.output.empty() && CheckableBeforeConnecting(o.output)) {
        const std::string problem = OutputProblem(ExpandOutputName(o.output, s.address.name, 0));
        if (!problem.empty()) {
            return Finish(o, s, {kExitFile, problem});
        }
    }
    const Connection c = Connect(s.address);
    // The serial number as the sensor told it, also with other firmware.
    s.serial = c.identity.answered ? c.identity.serialNumber : 0;
    SetJsonSensor(s.address.name, s.serial);
    Outcome r{c.status, c.message};
    if (c.status == kExitDone) {
        r = RunOnSensor(o, s, c, inputs);
    }
    Disconnect();
    return Finish(o, s, r);
}

int RunSensorCommandWithRuntime(int argc, char** argv, const Options& o) {
    platform::InitCoreRuntime(argc, argv);
    // The run-time takes the user's locale; numbers keep their point.
    std::setlocale(LC_NUMERIC, "C");
    const int status = RunSensorCommand(o);
    // The link's socket goes before the application object it belongs to.
    com232::ProgramLink().CloseLink();
    platform::ShutdownCoreRuntime();
    return status;
}

} // namespace cli
