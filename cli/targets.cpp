#include "cli/targets.h"

#include "cli/commands.h"
#include "cli/diff_table.h"
#include "cli/line_sink.h"
#include "cli/report.h"
#include "cli/signals.h"
#include "cli/target_file.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <memory>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace cli {
namespace {

// The run for one sensor of the line, as this process sees it.
struct Run {
    TargetLine target;
    pid_t pid = -1;
    int out = -1; // the run's standard output (JSON lines) and error, read here
    int err = -1;
    std::unique_ptr<PrefixedLines> outLines;
    std::unique_ptr<PrefixedLines> errLines;
    bool haveResult = false;
    bool reported = false;
    int status = kExitLink;
    unsigned serial = 0;
    std::string message;
    std::vector<Difference> differences; // diff
};

// The arguments of the run for one target: the command's own, without
// --targets and its file and the output forms (--json, --csv: the table is
// made here), then the target's address and --json; a recording reports
// its progress.
std::vector<std::string> ChildArguments(const Options& o, const Run& r) {
    std::vector<std::string> args{"chromik3-cli"};
    for (size_t i = 0; i < o.args.size(); ++i) {
        const std::string& a = o.args[i];
        if (a == "--targets") {
            ++i;
        } else if (a != "--json" && a != "--csv" && a.rfind("--targets=", 0) != 0) {
            args.push_back(a);
        }
    }
    args.insert(args.end(), r.target.addressArgs.begin(), r.target.addressArgs.end());
    args.push_back("--json");
    if (o.command == "record" && o.progress == 0) {
        args.insert(args.end(), {"--progress", "10"});
    }
    return args;
}

// The run for one sensor, in the child process: the command on that sensor
// alone, its results as JSON lines. The child is a copy of this process
// made before any part of Qt has started, so it starts its own run-time as
// a fresh start of the tool would, without loading the program again.
[[noreturn]] void RunChild(std::vector<std::string> args, const std::string& stdinText) {
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    int argc = static_cast<int>(args.size());
    Options options;
    std::string error;
    int status = kExitUsage;
    SetJsonOutput(true);
    SetResultOnStderr(false);
    if (ParseOptions(argc, argv.data(), &options, &error)) {
        options.stdinText = stdinText;
        if (options.timeout > 0) {
            StartTimeout(options.timeout);
        }
        status = RunSensorCommandWithRuntime(argc, argv.data(), options);
    } else {
        EmitJson("result", {{"status", kExitUsage}, {"message", Q(error)}});
    }
    std::fflush(stdout);
    std::fflush(stderr);
    _exit(status);
}

// Starts the run for `r` with its output on two pipes; false when it could
// not be started.
bool Start(const Options& o, Run* r) {
    int out[2] = {-1, -1};
    int err[2] = {-1, -1};
    if (pipe(out) != 0 || pipe(err) != 0) {
        for (int fd : {out[0], out[1], err[0], err[1]}) {
            if (fd >= 0) {
                close(fd);
            }
        }
        return false;
    }
    // Nothing buffered here may be written twice by the child.
    std::fflush(stdout);
    std::fflush(stderr);
    r->pid = fork();
    if (r->pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        for (int fd : {out[0], out[1], err[0], err[1]}) {
            close(fd);
        }
        RunChild(ChildArguments(o, *r), o.stdinText);
    }
    close(out[1]);
    close(err[1]);
    if (r->pid < 0) {
        close(out[0]);
        close(err[0]);
        return false;
    }
    r->out = out[0];
    r->err = err[0];
    return true;
}

std::string OneLine(const std::string& text) {
    std::string out = text;
    std::replace(out.begin(), out.end(), '\n', ' ');
    return out;
}

// The sensor's result, as soon as it is known.
void ReportResult(const Options& o, Run* r) {
    if (r->reported) {
        return;
    }
    r->reported = true;
    const std::string& name = r->target.name;
    QJsonObject result{{"address", Q(name)}, {"status", r->status}, {"message", Q(r->message)}};
    if (r->serial != 0) {
        result.insert("serial", static_cast<int>(r->serial));
    }
    EmitJson("result", result);
    if (JsonOutput()) {
        return;
    }
    const std::string serial = r->serial != 0 ? "serial " + std::to_string(r->serial) : "-";
    const std::string state =
        r->status == kExitDone ? "done" : "failed (" + std::to_string(r->status) + ")";
    const std::string message = r->message.empty() ? "" : "\t" + OneLine(r->message);
    if (o.command != "diff") {
        Say(name + "\t" + serial + "\t" + state + message);
    } else if (r->status != kExitDone && r->status != kExitRefused) {
        Warn(name + ": " + state + message); // the table comes at the end
    }
}

// One JSON line of a run: its result, a diff to gather, anything else
// passed on for the caller's script (it names the sensor already).
void TakeLine(const Options& o, Run* r, const std::string& line) {
    const QJsonObject event = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
    if (event.isEmpty()) {
        if (!line.empty()) {
            Warn(r->target.name + ": " + line);
        }
        return;
    }
    const QString name = event.value("event").toString();
    if (name == "result") {
        r->haveResult = true;
        r->status = event.value("status").toInt(kExitLink);
        r->serial = static_cast<unsigned>(event.value("serial").toInt(0));
        r->message = event.value("message").toString().toStdString();
        ReportResult(o, r);
        return;
    }
    if (name == "diff") {
        r->differences =
            DifferencesOfJson(event.value("differences").toArray(), "reference", "value");
    }
    if (JsonOutput()) {
        WriteOut(line + "\n");
    }
}

// Reads every run's output as it comes until all have closed it, passing
// it on as it comes; then collects their exit statuses.
void AwaitRuns(const Options& o, std::vector<Run>* runs) {
    bool stopsPassedOn = false;
    for (;;) {
        std::vector<pollfd> fds;
        std::vector<std::pair<Run*, bool>> owners; // the run and whether it is its error pipe
        for (Run& r : *runs) {
            for (const bool isErr : {false, true}) {
                const int fd = isErr ? r.err : r.out;
                if (fd >= 0) {
                    fds.push_back({fd, POLLIN, 0});
                    owners.emplace_back(&r, isErr);
                }
            }
        }
        if (fds.empty()) {
            break;
        }
        // Ctrl-C from a terminal reaches every run; a stop sent to this
        // process alone (or standard output gone) is passed on, so that each
        // run ends as STOP ends it and closes its output.
        if ((StopRequested() || !OutputFailure().empty()) && !stopsPassedOn) {
            stopsPassedOn = true;
            for (const Run& r : *runs) {
                if (r.pid > 0) {
                    kill(r.pid, SIGINT);
                }
            }
        }
        if (poll(fds.data(), fds.size(), -1) < 0) {
            if (errno != EINTR) {
                break;
            }
            continue;
        }
        for (size_t i = 0; i < fds.size(); ++i) {
            if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
                continue;
            }
            auto [r, isErr] = owners[i];
            char chunk[4096];
            const ssize_t n = read(fds[i].fd, chunk, sizeof chunk);
            PrefixedLines& lines = isErr ? *r->errLines : *r->outLines;
            if (n > 0) {
                lines.Feed(std::string_view(chunk, static_cast<size_t>(n)));
            } else if (n == 0 || errno != EINTR) {
                lines.Finish();
                close(fds[i].fd);
                (isErr ? r->err : r->out) = -1;
            }
        }
    }
    for (Run& r : *runs) {
        if (r.pid <= 0) {
            continue;
        }
        int status = 0;
        while (waitpid(r.pid, &status, 0) < 0 && errno == EINTR) {
        }
        if (!r.haveResult) {
            const int code = WIFEXITED(status) ? WEXITSTATUS(status) : kExitLink;
            r.status = code != kExitDone ? code : kExitLink;
            r.message = "the run for this sensor ended without a result";
            ReportResult(o, &r);
        }
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
    std::vector<Run> runs(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        Run& r = runs[i];
        r.target = lines[i];
        r.errLines = std::make_unique<PrefixedLines>(r.target.name + ": ",
                                                     [](const std::string& l) { Warn(l); });
        r.outLines = std::make_unique<PrefixedLines>(
            "", [&o, &r](const std::string& l) { TakeLine(o, &r, l); });
    }
    for (Run& r : runs) {
        if (!Start(o, &r)) {
            r.message = "the run for this sensor did not start";
            ReportResult(o, &r);
        }
    }
    AwaitRuns(o, &runs);
    int worst = kExitDone;
    int failed = 0;
    int differ = 0;
    std::vector<DiffRow> rows;
    for (const Run& r : runs) {
        worst = std::max(worst, r.status);
        const bool differs = o.command == "diff" && r.status == kExitRefused;
        differ += differs ? 1 : 0;
        failed += r.status != kExitDone && !differs ? 1 : 0;
        rows.push_back({r.target.name, r.serial, r.status, r.differences});
    }
    const int count = static_cast<int>(runs.size());
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
