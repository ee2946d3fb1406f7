#include "cli/find_command.h"

#include "cli/outputs.h"
#include "cli/report.h"
#include "cli/signals.h"
#include "link/com232.h"
#include "link/sensor_search.h"
#include "platform/runtime.h"

#include <QByteArray>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>
#include <chrono>
#include <thread>

namespace cli {
namespace {

// How often this thread looks for a stop while the search runs.
constexpr auto kWatchInterval = std::chrono::milliseconds(20);

std::string FirmwareText(const com232::SearchResult& r) {
    return r.firmwareMatches
               ? "firmware ok"
               : "firmware " + r.id.Version() + ", not " + com232::kScopeFirmwareVersion;
}

std::string Counted(int n, const std::string& one, const std::string& many = "") {
    return std::to_string(n) + " " + (n == 1 ? one : many.empty() ? one + "s" : many);
}

std::string BaudText(const com232::SearchResult& r) {
    return r.serial ? std::to_string(com232::BaudrateOfIndex(r.baudrateIndex)) : "-";
}

// The search's settings from the options; false with the fault.
bool SettingsOf(const Options& o, com232::SearchSettings* s, std::string* error) {
    for (const int com : o.comPorts) {
        com232::SerialTarget t;
        if (!com232::SerialTargetOfComPort(com, &t)) {
            *error = "COM " + std::to_string(com) + " is in no device range";
            return false;
        }
        s->serial.push_back(t);
    }
    for (const std::string& device : o.devices) {
        s->serial.push_back(com232::SerialTargetOfPath(device));
    }
    if (o.comPorts.empty() && o.devices.empty() && !o.noSerial) {
        s->serial = com232::ListedSerialTargets();
    }
    for (const long baud : o.bauds) {
        unsigned index = 8;
        for (unsigned i = 0; i < 8; ++i) {
            index = com232::BaudrateOfIndex(i) == baud ? i : index;
        }
        if (index == 8) {
            *error = "not a baud rate of the sensor (9600 .. 921600): " + std::to_string(baud);
            return false;
        }
        if (std::find(s->baudrateIndices.begin(), s->baudrateIndices.end(), index) ==
            s->baudrateIndices.end()) {
            s->baudrateIndices.push_back(index);
        }
    }
    // Given rates are tried fastest first too.
    std::sort(s->baudrateIndices.rbegin(), s->baudrateIndices.rend());
    for (const std::string& range : o.tcpRanges) {
        if (!com232::ParseTcpRanges(range, &s->tcp, error)) {
            return false;
        }
    }
    if (s->tcp.size() > com232::kSearchAddressesUnasked && !o.force) {
        *error = "--tcp names " + std::to_string(s->tcp.size()) + " addresses, more than " +
                 std::to_string(com232::kSearchAddressesUnasked) +
                 ": add --force to probe them all";
        return false;
    }
    if (o.jobsGiven) {
        s->parallel = static_cast<unsigned>(o.jobs);
    }
    return true;
}

// One port's or address's verdict, as it comes. Silent ones are only counted.
void Tell(const com232::SearchResult& r) {
    using com232::ProbeVerdict;
    const std::string name = r.Name();
    if (r.verdict == ProbeVerdict::Sensor) {
        QJsonObject fields{{"address", Q(name)},
                           {"id", Q(r.idText)},
                           {"display", Q(r.id.Display())},
                           {"firmware", Q(r.id.Version())},
                           {"firmwareMatches", r.firmwareMatches},
                           {"serial", static_cast<int>(r.serialNumber)},
                           {"target", Q(r.TargetLine())}};
        if (r.serial) {
            fields.insert("baud", static_cast<int>(com232::BaudrateOfIndex(r.baudrateIndex)));
        }
        EmitJson("sensor", fields);
        Say(name + "\t" + BaudText(r) + "\t" + r.id.Display() + "\tserial " +
            std::to_string(r.serialNumber) + "\t" + FirmwareText(r));
    } else if (r.verdict == ProbeVerdict::NotSensor) {
        EmitJson("not-sensor", {{"address", Q(name)}, {"message", Q(r.reason)}});
        Say(name + "\t-\tnot a sensor\t" + r.reason);
    } else if (r.verdict == ProbeVerdict::Unavailable) {
        EmitJson("unavailable", {{"address", Q(name)}, {"message", Q(r.reason)}});
        Say(name + "\t-\tnot probed\t" + r.reason);
    }
}

// The sensors found as a targets file the tool reads back (--targets):
// written beside `path` and renamed over it. Empty, or why it failed.
std::string WriteTargets(const std::string& path, const std::vector<com232::SearchResult>& all) {
    QByteArray text = "# Sensors found by chromik3-cli find\n";
    for (const com232::SearchResult& r : all) {
        if (r.verdict == com232::ProbeVerdict::Sensor) {
            const std::string line = r.TargetLine() + "\t# serial " +
                                     std::to_string(r.serialNumber) + ", " + r.id.Display() + "\n";
            text += QByteArray::fromStdString(line);
        }
    }
    QSaveFile file(Q(path));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        return "cannot write " + path + ": " + file.errorString().toStdString();
    }
    return {};
}

} // namespace

int RunFind(const Options& o) {
    com232::SearchSettings settings;
    std::string error;
    if (!SettingsOf(o, &settings, &error)) {
        return UsageError(error, HelpText("find"));
    }
    if (!o.writeTargets.empty()) {
        const std::string problem = OutputPathProblem(o.writeTargets);
        if (!problem.empty() || IsStdStream(o.writeTargets)) {
            Warn("chromik3-cli: " + (problem.empty() ? "--write-targets needs a file" : problem));
            EmitJson("result", {{"address", ""}, {"status", kExitFile}, {"message", Q(problem)}});
            return kExitFile;
        }
    }
    if (settings.serial.empty() && settings.tcp.empty()) {
        Warn("chromik3-cli: the system lists no serial port; name one with --com or --device, "
             "or a network range with --tcp");
        EmitJson("result",
                 {{"address", ""}, {"status", kExitLink}, {"message", "nothing to search"}});
        return kExitLink;
    }
    com232::SensorSearch search(settings);
    search.onResult = [](const com232::SearchResult& r) { Tell(r); };
    const double deadline = o.timeout > 0 ? platform::Timer() + o.timeout : 0;
    {
        const StopSignalsBlocked blocked; // the workers inherit the mask
        search.Start();
    }
    bool cut = false;
    while (!search.Wait(0)) {
        if (deadline > 0 && !TimedOut() && platform::Timer() >= deadline) {
            NoteTimedOut();
        }
        if (!cut && (StopRequested() || !OutputFailure().empty())) {
            search.Cancel();
            cut = true;
        }
        std::this_thread::sleep_for(kWatchInterval);
    }
    const std::vector<com232::SearchResult> all = search.Results();
    const auto count = [&all](com232::ProbeVerdict v) {
        return static_cast<int>(
            std::count_if(all.begin(), all.end(), [v](const auto& r) { return r.verdict == v; }));
    };
    const int sensors = count(com232::ProbeVerdict::Sensor);
    const int notSensors = count(com232::ProbeVerdict::NotSensor);
    const int unavailable = count(com232::ProbeVerdict::Unavailable);
    const int probed = static_cast<int>(settings.serial.size() + settings.tcp.size());
    int status = cut ? kExitLink : sensors > 0 ? kExitDone : kExitLink;
    std::string message =
        cut ? (TimedOut() ? "the search did not end within --timeout" : "the search was stopped")
        : sensors == 0 ? "no sensor answered"
                       : "";
    if (!o.writeTargets.empty() && !cut) {
        const std::string failed = WriteTargets(o.writeTargets, all);
        if (!failed.empty()) {
            status = kExitFile;
            message = failed;
        }
    }
    Say(Counted(sensors, "sensor") + " found; searched " +
        Counted(static_cast<int>(settings.serial.size()), "serial port") + " and " +
        Counted(static_cast<int>(settings.tcp.size()), "address", "addresses") + "; " +
        std::to_string(notSensors) + " not a sensor, " + std::to_string(unavailable) +
        " not probed" + (message.empty() ? "" : "; " + message));
    EmitJson("summary", {{"address", ""},
                         {"sensors", sensors},
                         {"searched", probed},
                         {"notSensors", notSensors},
                         {"unavailable", unavailable}});
    EmitJson("result", {{"address", ""}, {"status", status}, {"message", Q(message)}});
    if (status == kExitFile || (cut && !message.empty() && !JsonOutput())) {
        Warn("chromik3-cli: " + message);
    }
    if (!OutputFailure().empty()) {
        Warn("chromik3-cli: " + OutputFailure());
        return kExitFile;
    }
    return status;
}

} // namespace cli
