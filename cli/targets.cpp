#include "cli/targets.h"

#include "cli/acquire.h"
#include "cli/commands.h"
#include "cli/report.h"
#include "cli/sensor_link.h"
#include "link/com232.h"
#include "platform/runtime.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace cli {
namespace {

struct Target {
    std::string line; // as the file names it
    std::vector<std::string> addressArgs;
    pid_t pid = -1;
    int out = -1; // the run's standard output and error, read here
    int err = -1;
    std::string outText;
    std::string errText;
    int exitCode = kExitLink;
    int status = kExitLink;
    unsigned serial = 0;
    std::string message;
};

// The arguments of the run for one target: the command's own, without
// --targets and its file, then the target's address and --json.
std::vector<std::string> ChildArguments(const Options& o, const Target& t) {
    std::vector<std::string> args{"chromik3-cli"};
    for (size_t i = 0; i < o.args.size(); ++i) {
        if (o.args[i] == "--targets") {
            ++i;
        } else if (o.args[i] != "--json") {
            args.push_back(o.args[i]);
        }
    }
    args.insert(args.end(), t.addressArgs.begin(), t.addressArgs.end());
    args.push_back("--json");
    return args;
}

// The run for one sensor, in the child process: the command on that sensor
// alone, its results as JSON lines. The child is a copy of this process
// made before any part of Qt has started, so it starts its own run-time as
// a fresh start of the tool would, without loading the program again.
[[noreturn]] void RunChild(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    int argc = static_cast<int>(args.size());
    Options options;
    std::string error;
    int status = kExitUsage;
    if (ParseOptions(argc, argv.data(), &options, &error)) {
        SetJsonOutput(true);
        platform::InitCoreRuntime(argc, argv.data());
        status = RunSensorCommand(options);
        com232::CloseLink();
        platform::ShutdownCoreRuntime();
    } else {
        std::fprintf(stderr, "chromik3-cli: %s\n", error.c_str());
    }
    std::fflush(stdout);
    std::fflush(stderr);
    _exit(status);
}

// Starts the run for `t` with its output on two pipes; false when it could
// not be started.
bool Start(const Options& o, Target* t) {
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
    t->pid = fork();
    if (t->pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        for (int fd : {out[0], out[1], err[0], err[1]}) {
            close(fd);
        }
        RunChild(ChildArguments(o, *t));
    }
    close(out[1]);
    close(err[1]);
    if (t->pid < 0) {
        close(out[0]);
        close(err[0]);
        return false;
    }
    t->out = out[0];
    t->err = err[0];
    return true;
}

// Reads every run's output as it comes until all have closed it, then
// collects their exit statuses.
void AwaitRuns(std::vector<Target>* targets) {
    bool stopsPassedOn = false;
    for (;;) {
        std::vector<pollfd> fds;
        std::vector<std::string*> texts;
        std::vector<int*> owners;
        for (Target& t : *targets) {
            for (auto [fd, text] : {std::pair{&t.out, &t.outText}, std::pair{&t.err, &t.errText}}) {
                if (*fd >= 0) {
                    fds.push_back({*fd, POLLIN, 0});
                    texts.push_back(text);
                    owners.push_back(fd);
                }
            }
        }
        if (fds.empty()) {
            break;
        }
        if (poll(fds.data(), fds.size(), -1) < 0) {
            if (errno != EINTR) {
                break;
            }
            // Ctrl-C from a terminal reaches every run; a stop sent to this
            // process alone is passed on, so that each run ends as STOP ends
            // it and closes its output.
            if (StopRequested() && !stopsPassedOn) {
                stopsPassedOn = true;
                for (const Target& t : *targets) {
                    if (t.pid > 0) {
                        kill(t.pid, SIGINT);
                    }
                }
            }
            continue;
        }
        for (size_t i = 0; i < fds.size(); ++i) {
            if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
                continue;
            }
            char chunk[4096];
            const ssize_t n = read(fds[i].fd, chunk, sizeof chunk);
            if (n > 0) {
                texts[i]->append(chunk, static_cast<size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                close(*owners[i]);
                *owners[i] = -1;
            }
        }
    }
    for (Target& t : *targets) {
        if (t.pid <= 0) {
            continue;
        }
        int status = 0;
        while (waitpid(t.pid, &status, 0) < 0 && errno == EINTR) {
        }
        t.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : kExitLink;
    }
}

// Takes the child's JSON lines: its result, and every other line passed on
// (with --json) for the caller's script.
void Collect(Target* t) {
    const QList<QByteArray> lines = QByteArray::fromStdString(t->outText).split('\n');
    bool haveResult = false;
    for (const QByteArray& line : lines) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        if (o.isEmpty()) {
            continue;
        }
        if (o.value("event").toString() == "result") {
            haveResult = true;
            t->status = o.value("status").toInt(kExitLink);
            t->serial = static_cast<unsigned>(o.value("serial").toInt(0));
            t->message = o.value("message").toString().toStdString();
        } else {
            QJsonObject copy = o;
            const QString event = copy.take("event").toString();
            EmitJson(event.toStdString().c_str(), copy);
        }
    }
    if (!haveResult) {
        t->status = t->exitCode != 0 ? t->exitCode : kExitLink;
        t->message = t->errText.empty() ? "no result from the run for this sensor" : t->errText;
    }
}

std::string OneLine(const std::string& text) {
    std::string out = text;
    std::replace(out.begin(), out.end(), '\n', ' ');
    return out;
}

} // namespace

int RunOnTargets(const Options& o) {
    // Ctrl-C reaches every run of the line; this one waits for their results.
    InstallStopSignals();
    std::ifstream in(o.targets);
    if (!in) {
        Warn("chromik3-cli: cannot read the targets file " + o.targets);
        return kExitFile;
    }
    std::vector<Target> targets;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        Target t;
        std::string error;
        if (!TargetLineOptions(line, &t.addressArgs, &error)) {
            Warn(o.targets + ":" + std::to_string(number) + ": " + error);
            return kExitFile;
        }
        if (!t.addressArgs.empty()) {
            // The sensor as the file names it.
            t.line = (t.addressArgs[0] == "--com" ? "com:" : "") + t.addressArgs[1];
            targets.push_back(std::move(t));
        }
    }
    if (targets.empty()) {
        Warn("chromik3-cli: no sensor in " + o.targets);
        return kExitFile;
    }
    std::vector<bool> started;
    for (Target& t : targets) {
        started.push_back(Start(o, &t));
    }
    AwaitRuns(&targets);
    int worst = kExitDone;
    int failed = 0;
    for (size_t i = 0; i < targets.size(); ++i) {
        Target& t = targets[i];
        if (!started[i]) {
            t.message = "the run for this sensor did not start";
        } else {
            Collect(&t);
        }
        if (t.status != kExitDone) {
            ++failed;
            worst = std::max(worst, t.status);
        }
        const std::string serial = t.serial != 0 ? "serial " + std::to_string(t.serial) : "";
        Say(t.line + "\t" + (serial.empty() ? "-" : serial) + "\t" +
            (t.status == kExitDone ? "done" : "failed (" + std::to_string(t.status) + ")") +
            (t.message.empty() ? "" : "\t" + OneLine(t.message)));
        QJsonObject result{{"address", Q(t.line)}, {"status", t.status}, {"message", Q(t.message)}};
        if (t.serial != 0) {
            result.insert("serial", static_cast<int>(t.serial));
        }
        EmitJson("result", result);
    }
    const int count = static_cast<int>(targets.size());
    Say(std::to_string(count) + " sensors: " + std::to_string(count - failed) + " done, " +
        std::to_string(failed) + " failed");
    EmitJson("summary", {{"sensors", count}, {"done", count - failed}, {"failed", failed}});
    return worst;
}

} // namespace cli
