#include "cli/targets.h"

#include "cli/acquire.h"
#include "cli/report.h"
#include "cli/sensor_link.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <algorithm>
#include <fstream>
#include <memory>

namespace cli {
namespace {

struct Target {
    std::string line; // as the file names it
    std::vector<std::string> addressArgs;
    std::unique_ptr<QProcess> process;
    int status = kExitLink;
    unsigned serial = 0;
    std::string message;
};

// The arguments of the run for one target: the command's own, without
// --targets and its file, then the target's address and --json.
QStringList ChildArguments(const Options& o, const Target& t) {
    QStringList args;
    for (size_t i = 0; i < o.args.size(); ++i) {
        if (o.args[i] == "--targets") {
            ++i;
        } else if (o.args[i] != "--json") {
            args << Q(o.args[i]);
        }
    }
    for (const std::string& a : t.addressArgs) {
        args << Q(a);
    }
    args << "--json";
    return args;
}

// Takes the child's JSON lines: its result, and every other line passed on
// (with --json) for the caller's script.
void Collect(Target* t) {
    const QList<QByteArray> lines = t->process->readAllStandardOutput().split('\n');
    const std::string errors = t->process->readAllStandardError().toStdString();
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
        t->status = t->process->exitCode() != 0 ? t->process->exitCode() : kExitLink;
        t->message = errors.empty() ? "no result from the run for this sensor" : errors;
    }
}

std::string OneLine(const std::string& text) {
    std::string out = text;
    std::replace(out.begin(), out.end(), '\n', ' ');
    return out;
}

} // namespace

int RunOnTargets(const Options& o, const char* program) {
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
    for (Target& t : targets) {
        t.process = std::make_unique<QProcess>();
        t.process->start(QString::fromLocal8Bit(program), ChildArguments(o, t));
    }
    int worst = kExitDone;
    int failed = 0;
    for (Target& t : targets) {
        if (!t.process->waitForFinished(-1) && t.process->error() == QProcess::FailedToStart) {
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
