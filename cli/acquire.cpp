#include "cli/acquire.h"

#include "calib/calib_orders.h"
#include "cli/live_format.h"
#include "cli/outputs.h"
#include "cli/report.h"
#include "cli/sensor_sets.h"
#include "cli/signals.h"
#include "inifile/ini_store.h"
#include "link/com232.h"
#include "link/program_link.h"
#include "params/parameter_file_io.h"
#include "platform/runtime.h"
#include "platform/shell_services.h"
#include "record/record_file.h"
#include "record/record_run.h"
#include "record/recorder_logic.h"

namespace cli {
namespace {

// The hooks of a run whose frames go to `take`; a stop requested before the
// run set its flag still ends it at the first frame. With `progress`, the
// frames so far are reported every that many seconds.
record::RunHooks Hooks(std::function<bool(const live::LiveDataFrameBytes&)> take,
                       double progress = 0, const uint32_t* frames = nullptr) {
    record::RunHooks hooks;
    hooks.frame = std::move(take);
    double next = platform::Timer() + progress;
    hooks.counters = [progress, frames, next]() mutable {
        if (StopRequested()) {
            com232::ProgramLink().AcquisitionRunning = 0;
        }
        if (progress > 0 && frames != nullptr && platform::Timer() >= next) {
            next = platform::Timer() + progress;
            Warn("RECORD: " + std::to_string(*frames) + " frames so far");
            EmitJson("progress", {{"frames", static_cast<int>(*frames)}});
        }
    };
    return hooks;
}

// The run ended: by a link failure (reported by the link), or as asked.
Outcome RunEnd() {
    if (!OutputFailure().empty()) {
        return {kExitFile, OutputFailure()};
    }
    if (com232::ProgramLink().LinkOk != 1 && !StopRequested()) {
        return {kExitLink, com232::ProgramLink().StatusText};
    }
    return {};
}

} // namespace

Outcome Live(const Options& o, const std::string& panelId) {
    const LineFormat format{o.lf, o.isoTime};
    if (o.header && !WriteOut(LiveHeader(panelId, format))) {
        return RunEnd();
    }
    record::TimedRun run;
    run.mode = o.count != 0 ? record::kModeTimedCount : record::kModeTimedEndless;
    run.count = static_cast<uint32_t>(o.count);
    run.interval = o.intervalGiven ? o.interval : record::kMinRecordInterval;
    record::RunCounters counters;
    com232::ProgramLink().LinkOk = 1;
    record::RunTimedRecording(com232::ProgramLink(), run,
                              Hooks([&](const live::LiveDataFrameBytes& frame) {
                                  const WallClock::time_point now = WallClock::now();
                                  return o.json ? EmitJson("frame", LiveFrameJson(frame, now))
                                                : WriteOut(LiveLine(frame, now, format));
                              }),
                              &counters);
    return RunEnd();
}

Outcome Record(const Options& o, const std::string& path, const std::string& panelId) {
    const bool toStdout = IsStdStream(path);
    const std::string shown = toStdout ? "standard output" : path;
    const std::string header = record::RecordFileHeader(shell::kProgramTitle, panelId);
    std::string error;
    if (toStdout ? !WriteOut(header) : !record::StartRecordFile(path, header, &error)) {
        return {kExitFile, toStdout
                               ? OutputFailure()
                               : "The record file could not be written: " + path + "\n" + error};
    }
    bool writeFailed = false;
    uint32_t lines = 0;
    const record::RunHooks hooks = Hooks(
        [&](const live::LiveDataFrameBytes& frame) {
            const bool written = toStdout ? WriteOut(LiveLine(frame, WallClock::now(), {}))
                                          : record::AppendFrameLine(path, frame, header, &error);
            if (!written) {
                writeFailed = true;
                return false; // the first line that cannot be written ends the run
            }
            ++lines;
            return true;
        },
        o.progress, &lines);
    record::RunCounters counters;
    com232::ProgramLink().LinkOk = 1;
    bool started = true;
    if (o.triggered) {
        started = record::RunTriggeredRecording(com232::ProgramLink(), hooks, &counters,
                                                static_cast<uint32_t>(o.count));
        // However the run ended, the sensor stops sending by itself.
        AllowCleanUpExchanges();
        record::StopAutoSend(com232::ProgramLink());
    } else {
        record::TimedRun run;
        run.mode = o.endless ? record::kModeTimedEndless : record::kModeTimedCount;
        run.count = static_cast<uint32_t>(o.count);
        run.interval = o.interval;
        record::RunTimedRecording(com232::ProgramLink(), run, hooks, &counters);
    }
    Warn("RECORD: " + std::to_string(lines) + (lines == 1 ? " frame" : " frames") +
         " recorded to " + shown + (StopRequested() ? " (stopped)" : ""));
    EmitJson(
        "record",
        {{"file", Q(path)}, {"frames", static_cast<int>(lines)}, {"stopped", StopRequested()}});
    if (writeFailed) {
        return {kExitFile, toStdout
                               ? OutputFailure()
                               : "The record file could not be written: " + path + "\n" + error};
    }
    if (!started) {
        return {kExitLink, com232::ProgramLink().StatusText};
    }
    return RunEnd();
}

Outcome HardwareInfo(const Options& o, const std::string& path) {
    hwinfo::HardwareInfo info;
    // The parameter set from the sensor's RAM as the program holds it, then
    // the calibration and the hardware block, as the connection page's
    // button reads them.
    Options ram = o;
    ram.eeprom = false;
    const SensorSetRead set = ReadSensorSet(ram);
    if (set.status != kExitDone) {
        return {set.status, set.message};
    }
    std::vector<std::string> warnings;
    const SetWords held = AsTheProgramHoldsIt(set.words, &warnings);
    for (const std::string& w : warnings) {
        Warn("INFO!\n" + w);
    }
    info.para = held.block;
    info.teach = held.table;
    if (calib::ReadCalibration(com232::ProgramLink(), info.cf, info.offset) != 1 ||
        !hwinfo::ReadHardwareBlock(com232::ProgramLink(), &info.dataText)) {
        return {kExitLink, com232::ProgramLink().StatusText};
    }
    info.firmwareVersion = com232::ProgramLink().SensorIdText;
    if (IsStdStream(path)) {
        ini::IniStorePtr store = ini::MakeIniStore();
        std::string text;
        int rc = store ? hwinfo::PutHardwareInfoFile(store.get(), info) : ini::kIniErrNoMemory;
        if (rc >= 0) {
            rc = ini::Ini_WriteToString(store.get(), &text);
        }
        if (rc < 0) {
            return {kExitFile, params::IniWriteFailureReason(rc)};
        }
        return WriteOut(text) ? Outcome{} : Outcome{kExitFile, OutputFailure()};
    }
    const int rc = hwinfo::WriteHardwareInfoFile(path, info);
    if (rc < 0) {
        return {kExitFile, params::FileWriteFailureText("The hardware information file", path, rc)};
    }
    Say("hardware information written to " + path);
    EmitJson("hwinfo", {{"file", Q(path)}});
    return {};
}

} // namespace cli
