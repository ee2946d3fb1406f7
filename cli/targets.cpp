#include "cli/targets.h"

#include "cli/commands.h"
#include "cli/diff_table.h"
#include "cli/job.h"
#include "cli/report.h"
#include "cli/workers.h"
#include "sensor/target_file.h"

#include <QJsonObject>

#include <algorithm>
#include <memory>

namespace cli {
namespace {

using sensor::ReadTargetsFile;
using sensor::TargetLine;

// The options of the command on one target: the line's own, addressing
// that target instead of the file; a recording reports its progress.
Options TargetOptions(const Options& o, const TargetLine& target) {
    Options t = o;
    t.targets.clear();
    t.tcp.clear();
    t.com = 0;
    t.device.clear();
    const std::string& value = target.addressArgs[1];
    if (target.addressArgs[0] == "--tcp") {
        t.tcp = value;
    } else if (target.addressArgs[0] == "--com") {
        t.com = std::stoi(value);
    } else {
        t.device = value;
    }
    if (target.addressArgs.size() > 3) {
        t.baud = std::stol(target.addressArgs[3]); // the line's own rate (com:3@9600)
    }
    if (o.command == "record" && o.progress == 0) {
        t.progress = 10;
    }
    return t;
}

// Commands that may run until they are stopped (a trigger that may not
// come, no count): every sensor of the line runs at once, whatever --jobs.
bool RunsUntilStopped(const Options& o) {
    return (o.command == "live" && o.count == 0) ||
           (o.command == "record" && (o.endless || o.triggered)) || o.command == "scope";
}

std::string OneLine(const std::string& text) {
    std::string out = text;
    std::replace(out.begin(), out.end(), '\n', ' ');
    return out;
}

// The sensor's result, as soon as it is known.
void ReportResult(const Options& o, const Job& j) {
    const std::string& name = j.report.LineName();
    const Outcome& r = j.outcome;
    QJsonObject result{{"address", Q(name)}, {"status", r.status}, {"message", Q(r.message)}};
    if (j.serial != 0) {
        result.insert("serial", static_cast<int>(j.serial));
    }
    EmitJson("result", result);
    if (JsonOutput()) {
        return;
    }
    const std::string serial = j.serial != 0 ? "serial " + std::to_string(j.serial) : "-";
    const std::string state =
        r.status == kExitDone ? "done" : "failed (" + std::to_string(r.status) + ")";
    const std::string message = r.message.empty() ? "" : "\t" + OneLine(r.message);
    if (o.command != "diff") {
        Say(name + "\t" + serial + "\t" + state + message);
    } else if (r.status != kExitDone && r.status != kExitRefused) {
        Warn(name + ": " + state + message); // the table comes at the end
    }
}

} // namespace

int RunOnTargets(const Options& o) {
    std::vector<TargetLine> lines;
    std::vector<std::string> problems;
    if (!ReadTargetsFile(o.targets, &lines, &problems)) {
        std::string all;
        for (const std::string& p : problems) {
            Warn("chromik3-cli: " + p);
            all += (all.empty() ? "" : "\n") + p;
        }
        Warn("Nothing was run.");
        EmitJson("result", {{"address", Q(o.targets)}, {"status", kExitFile}, {"message", Q(all)}});
        return kExitFile;
    }
    Address address;
    std::string error;
    if (AddressFromOptions(o, &address, &error) == kExitUsage) {
        return UsageError(error, HelpText(o.command));
    }
    // Every sensor compares with (or is sent) the same files.
    const ParameterInputs inputs = ReadInputs(o);
    std::vector<std::unique_ptr<Job>> jobs;
    std::vector<Job*> order;
    for (const TargetLine& line : lines) {
        jobs.push_back(std::make_unique<Job>(TargetOptions(o, line), line.name));
        jobs.back()->inputs = &inputs;
        jobs.back()->report.SetSensor(line.name, 0);
        order.push_back(jobs.back().get());
    }
    RunJobs(
        order, RunsUntilStopped(o) ? order.size() : static_cast<size_t>(o.jobs), o.timeout,
        [&](Job& j) {
            j.outcome = RunOnSensor(j);
            ReportResult(o, j);
        },
        [&](Job& j) {
            j.outcome = NotReached(o);
            ReportResult(o, j);
        });
    int worst = kExitDone;
    int failed = 0;
    int differ = 0;
    std::vector<DiffRow> rows;
    for (size_t i = 0; i < jobs.size(); ++i) {
        const Job& j = *jobs[i];
        const int status = j.outcome.status;
        worst = std::max(worst, status);
        const bool differs = o.command == "diff" && status == kExitRefused;
        differ += differs ? 1 : 0;
        failed += status != kExitDone && !differs ? 1 : 0;
        rows.push_back({lines[i].name, j.serial, status, j.differences});
    }
    const int count = static_cast<int>(jobs.size());
    const int done = count - failed - differ;
    if (o.command == "diff") {
        const std::string reference =
            o.files.front() == kStdStream ? "standard input" : o.files.front();
        if (!JsonOutput()) {
            WriteOut(DiffTable(reference, rows, o.csv));
        }
        const std::string summary = std::to_string(count) + " sensors: " + std::to_string(done) +
                                    " same, " + std::to_string(differ) + " differ, " +
                                    std::to_string(failed) + " failed";
        if (o.csv) {
            Warn(summary); // the table alone on standard output
        } else {
            Say(summary);
        }
        EmitJson("summary", {{"address", Q(o.targets)},
                             {"sensors", count},
                             {"done", done},
                             {"differ", differ},
                             {"failed", failed}});
    } else {
        Say(std::to_string(count) + " sensors: " + std::to_string(done) + " done, " +
            std::to_string(failed) + " failed");
        EmitJson(
            "summary",
            {{"address", Q(o.targets)}, {"sensors", count}, {"done", done}, {"failed", failed}});
    }
    if (!OutputFailure().empty()) {
        Warn("chromik3-cli: " + OutputFailure());
        return std::max(worst, kExitFile);
    }
    return worst;
}

} // namespace cli
