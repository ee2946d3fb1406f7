#include "cli/commands.h"

#include "cli/acquire.h"
#include "cli/command_parts.h"
#include "cli/outputs.h"
#include "cli/report.h"
#include "cli/signals.h"
#include "cli/workers.h"
#include "link/com232.h"

#include <filesystem>

namespace cli {
namespace {

Outcome Ident(Job& j, const com232::SensorIdentity& id) {
    j.report.Say(id.parts.Display() + "\nSERIAL NUMBER: " + std::to_string(id.serialNumber));
    j.report.EmitJson("ident", {{"id", Q(j.Link().SensorIdText)},
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

Outcome RunCommand(Job& j, const com232::SensorIdentity& id,
                   const std::vector<ParameterInput>& inputs) {
    const Options& o = j.o;
    const std::string path = ExpandOutputName(o.output, j.address.name, j.serial);
    if (!o.output.empty()) {
        const std::string problem = OutputProblem(path);
        if (!problem.empty()) {
            return {kExitFile, problem};
        }
    }
    const std::string& c0 = o.command;
    if (c0 == "ident") {
        return Ident(j, id);
    }
    if (c0 == "get") {
        return Get(j, path);
    }
    if (c0 == "send") {
        return Send(j, inputs.front());
    }
    if (c0 == "diff") {
        return DiffWithSensor(j, inputs.front());
    }
    if (c0 == "live") {
        return Live(j);
    }
    if (c0 == "record") {
        return Record(j, path);
    }
    if (c0 == "cycle-time") {
        return CycleTime(j);
    }
    if (c0 == "hwinfo") {
        return HardwareInfo(j, path);
    }
    return Scope(j, path);
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

Outcome RunUnconcluded(Job& j) {
    const Options& o = j.o;
    const bool twoFiles = o.command == "diff" && o.files.size() == 2;
    std::string error;
    const int addressStatus = twoFiles ? kExitDone : AddressFromOptions(o, &j.address, &error);
    j.report.SetSensor(j.address.name, 0);
    if (addressStatus != kExitDone) {
        return {addressStatus, error};
    }
    const ParameterInputs& in = *j.inputs;
    if (!in.warnings.empty()) {
        j.report.Warn(in.warnings);
    }
    if (in.status != kExitDone) {
        return {in.status, in.problems};
    }
    const std::vector<ParameterInput>& inputs = in.files;
    if (twoFiles) {
        return DiffFiles(j, inputs[0], inputs[1]);
    }
    if (!o.output.empty() && CheckableBeforeConnecting(o.output)) {
        const std::string problem = OutputProblem(ExpandOutputName(o.output, j.address.name, 0));
        if (!problem.empty()) {
            return {kExitFile, problem};
        }
    }
    const Connection c = cli::Connect(j.Link(), j.address);
    // The serial number as the sensor told it, also with other firmware.
    j.serial = c.identity.answered ? c.identity.serialNumber : 0;
    j.report.SetSensor(j.address.name, j.serial);
    Outcome r{c.status, c.message};
    if (c.status == kExitDone) {
        r = RunCommand(j, c.identity, inputs);
    }
    return r;
}

} // namespace

ParameterInputs ReadInputs(const Options& o) {
    ParameterInputs in;
    for (const std::string& path : o.files) {
        ParameterInput input;
        const bool allow = o.command == "send" && o.allowDefaults;
        in.status = ReadParameterInput(o, path, allow, &input, &in.problems, &in.warnings);
        if (in.status != kExitDone) {
            if (o.command == "send" && input.read.givenTwice.empty() &&
                input.read.isParameterFile && input.read.readResult >= 0) {
                in.problems += "\nNothing was sent (--allow-defaults sends it with the defaults).";
            }
            return in;
        }
        in.files.push_back(std::move(input));
    }
    return in;
}

Outcome RunOnSensor(Job& j) {
    const Outcome r = RunUnconcluded(j);
    // Closed on the worker that opened it (a serial port belongs to its thread).
    j.Link().CloseLink();
    return Concluded(j.o, r);
}

Outcome NotReached(const Options& o) {
    return Concluded(o, {kExitLink, "The sensor was not reached."});
}

int RunOneSensor(const Options& o) {
    Address address;
    if (!(o.command == "diff" && o.files.size() == 2)) {
        std::string error;
        if (AddressFromOptions(o, &address, &error) == kExitUsage) {
            return UsageError(error, HelpText(o.command));
        }
    }
    const ParameterInputs inputs = ReadInputs(o);
    Job job(o);
    job.inputs = &inputs;
    job.report.SetSensor(address.name, 0);
    const auto report = [](Job& j) { j.report.Result(j.outcome.status, j.outcome.message); };
    RunJobs(
        {&job}, 1, o.timeout,
        [&report](Job& j) {
            j.outcome = RunOnSensor(j);
            report(j);
        },
        [&report](Job& j) {
            j.outcome = NotReached(j.o);
            report(j);
        });
    if (job.outcome.status == kExitDone && !OutputFailure().empty()) {
        Warn("chromik3-cli: " + OutputFailure());
        return kExitFile;
    }
    return job.outcome.status;
}

} // namespace cli
