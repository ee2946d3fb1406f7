#include "cli/acquire.h"

#include "calib/calib_orders.h"
#include "cli/commands.h"
#include "cli/report.h"
#include "link/com232.h"
#include "params/parameter_file_io.h"
#include "platform/shell_services.h"
#include "record/record_file.h"
#include "record/record_run.h"
#include "record/recorder_logic.h"
#include "scope/scope_run.h"

#include <csignal>
#include <cstdio>
#include <ctime>

namespace cli {
namespace {

volatile std::sig_atomic_t gStop = 0;

void OnStopSignal(int) {
    gStop = 1;
    com232::AcquisitionRunning = 0;
    scope::ScanActive = 0;
}

std::tm LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

std::string RecordHeader(const std::string& panelId) {
    return record::RecordFileHeader(shell::kProgramTitle, panelId);
}

// The hooks of a run whose frames go to `take`; a stop requested before the
// run set its flag still ends it at the first frame.
record::RunHooks Hooks(std::function<bool(const live::LiveDataFrameBytes&)> take) {
    record::RunHooks hooks;
    hooks.frame = std::move(take);
    hooks.counters = [] {
        if (gStop != 0) {
            com232::AcquisitionRunning = 0;
        }
    };
    return hooks;
}

std::string Decimal(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

} // namespace

void InstallStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool StopRequested() {
    return gStop != 0;
}

Outcome Live(const Options& o, const std::string& panelId) {
    if (o.header) {
        std::fputs(RecordHeader(panelId).c_str(), stdout);
    }
    record::TimedRun run;
    run.mode = o.count != 0 ? record::kModeTimedCount : record::kModeTimedEndless;
    run.count = static_cast<uint32_t>(o.count);
    run.interval = o.intervalGiven ? o.interval : record::kMinRecordInterval;
    record::RunCounters counters;
    com232::LinkOk = 1;
    record::RunTimedRecording(run, Hooks([](const live::LiveDataFrameBytes& frame) {
                                  const std::string line = record::RecordLine(frame, LocalNow());
                                  std::fwrite(line.data(), 1, line.size(), stdout);
                                  std::fflush(stdout);
                                  return true;
                              }),
                              &counters);
    if (com232::LinkOk != 1) {
        return {kExitLink, com232::StatusText};
    }
    return {};
}

Outcome Record(const Options& o, const std::string& path, const std::string& panelId) {
    const std::string header = RecordHeader(panelId);
    std::string error;
    if (!record::StartRecordFile(path, header, &error)) {
        return {kExitFile, "The record file could not be written: " + path + "\n" + error};
    }
    bool writeFailed = false;
    uint32_t lines = 0;
    const record::RunHooks hooks = Hooks([&](const live::LiveDataFrameBytes& frame) {
        if (!record::AppendFrameLine(path, frame, header, &error)) {
            writeFailed = true;
            return false; // the first line that cannot be written ends the run
        }
        ++lines;
        return true;
    });
    record::RunCounters counters;
    com232::LinkOk = 1;
    bool started = true;
    if (o.triggered) {
        started = record::RunTriggeredRecording(hooks, &counters, static_cast<uint32_t>(o.count));
        record::StopAutoSend();
    } else {
        record::TimedRun run;
        run.mode = o.endless ? record::kModeTimedEndless : record::kModeTimedCount;
        run.count = static_cast<uint32_t>(o.count);
        run.interval = o.interval;
        record::RunTimedRecording(run, hooks, &counters);
    }
    Warn("RECORD: " + std::to_string(lines) + (lines == 1 ? " frame" : " frames") +
         " recorded to " + path + (StopRequested() ? " (stopped)" : ""));
    EmitJson(
        "record",
        {{"file", Q(path)}, {"frames", static_cast<int>(lines)}, {"stopped", StopRequested()}});
    if (writeFailed) {
        return {kExitFile, "The record file could not be written: " + path + "\n" + error};
    }
    if (!started || (com232::LinkOk != 1 && !StopRequested())) {
        return {kExitLink, com232::StatusText};
    }
    return {};
}

Outcome CycleTime(const std::string& address) {
    com232::LinkOk = 1;
    const double cycle = scope::ReadCycleTime();
    if (com232::LinkOk != 1) {
        return {kExitLink, com232::StatusText};
    }
    const double frequency = scope::ScanFrequencyHz(cycle);
    Say("CYCLE TIME: " + Decimal(cycle, scope::CycleTimeDecimals(cycle)) +
        " ms\nSCAN FREQUENCY: " + Decimal(frequency, scope::ScanFrequencyDecimals(cycle)) + " Hz");
    EmitJson("cycle-time",
             {{"address", Q(address)}, {"cycleTimeMs", cycle}, {"scanFrequencyHz", frequency}});
    return {};
}

Outcome HardwareInfo(const Options& o, const std::string& path) {
    hwinfo::HardwareInfo info;
    // The parameter set from the sensor's RAM, then the calibration and the
    // hardware block, as the connection page's button reads them.
    if (!ReadSetAsTheProgram(static_cast<uint16_t>(o.set), false, &info.para, &info.teach) ||
        calib::ReadCalibration(info.cf, info.offset) != 1 ||
        !hwinfo::ReadHardwareBlock(&info.dataText)) {
        return {kExitLink, com232::StatusText};
    }
    info.firmwareVersion = com232::SensorIdText;
    const int rc = hwinfo::WriteHardwareInfoFile(path, info);
    if (rc < 0) {
        return {kExitFile, params::FileWriteFailureText("The hardware information file", path, rc)};
    }
    Say("hardware information written to " + path);
    EmitJson("hwinfo", {{"file", Q(path)}});
    return {};
}

Outcome Scope(const Options& o, const std::string& path) {
    const std::array<uint16_t, scope::kScopeSettingCount> settings = {
        static_cast<uint16_t>(o.level), static_cast<uint16_t>(o.triggerMode),
        static_cast<uint16_t>(o.pretrigger), static_cast<uint16_t>(o.scanRate),
        static_cast<uint16_t>(o.signal)};
    std::array<scope::SampleBlock, scope::kScopeBlocks> blocks{};
    const scope::CaptureEnd end = scope::CaptureScope(settings, &blocks);
    if (end == scope::CaptureEnd::Failed) {
        return {kExitLink, com232::StatusText};
    }
    if (end == scope::CaptureEnd::Broken) {
        scope::BreakDataScan(); // the sensor no longer waits for its trigger
        return {kExitRefused, "The capture was broken off; no file was written."};
    }
    std::string error;
    if (!record::StartRecordFile(path, scope::CaptureTable(blocks, settings[scope::kRecordSignal]),
                                 &error)) {
        return {kExitFile, "The scope file could not be written: " + path + "\n" + error};
    }
    Say("scope capture written to " + path);
    EmitJson("scope", {{"file", Q(path)}});
    return {};
}

} // namespace cli
