#include "cli/acquire.h"

#include "calib/calib_orders.h"
#include "cli/live_format.h"
#include "cli/outputs.h"
#include "cli/report.h"
#include "cli/sensor_sets.h"
#include "inifile/ini_store.h"
#include "link/com232.h"
#include "params/parameter_file_io.h"
#include "platform/runtime.h"
#include "platform/shell_services.h"
#include "record/record_file.h"
#include "record/record_run.h"
#include "record/recorder_logic.h"

namespace cli {
namespace {

// The hooks of a run whose frames go to `take`; a stop passed before the
// run set its flag still ends it at the first frame. With `progress`, the
// frames so far are reported every that many seconds.
record::RunHooks Hooks(Job& j, std::function<bool(const live::LiveDataFrameBytes&)> take,
                       double progress = 0, const uint32_t* frames = nullptr) {
    record::RunHooks hooks;
    hooks.frame = std::move(take);
    double next = platform::Timer() + progress;
    hooks.counters = [&j, progress, frames, next]() mutable {
        if (j.Link().CancelRequested()) {
            j.Link().AcquisitionRunning = 0;
        }
        if (progress > 0 && frames != nullptr && platform::Timer() >= next) {
            next = platform::Timer() + progress;
            j.report.Warn("RECORD: " + std::to_string(*frames) + " frames so far");
            j.report.EmitJson("progress", {{"frames", static_cast<int>(*frames)}});
        }
    };
    return hooks;
}

// The run ended: by a link failure (reported by the link), or as asked.
Outcome RunEnd(Job& j) {
    if (!OutputFailure().empty()) {
        return {kExitFile, OutputFailure()};
    }
    if (j.Link().LinkOk != 1 && !j.Stopped()) {
        return {kExitLink, j.Link().StatusText};
    }
    return {};
}

} // namespace

Outcome Live(Job& j) {
    const Options& o = j.o;
    const LineFormat format{o.lf, o.isoTime};
    if (o.header && !j.report.WriteOut(LiveHeader(j.address.panelId, format))) {
        return RunEnd(j);
    }
    record::TimedRun run;
    run.mode = o.count != 0 ? record::kModeTimedCount : record::kModeTimedEndless;
    run.count = static_cast<uint32_t>(o.count);
    run.interval = o.intervalGiven ? o.interval : record::kMinRecordInterval;
    record::RunCounters counters;
    j.Link().LinkOk = 1;
    record::RunTimedRecording(
        j.Link(), run,
        Hooks(j,
              [&](const live::LiveDataFrameBytes& frame) {
                  const WallClock::time_point now = WallClock::now();
                  return j.report.Json() ? j.report.EmitJson(
                                               "frame", sensor::LiveFrameJson(frame, IsoTime(now)))
                                         : j.report.WriteOut(LiveLine(frame, now, format));
              }),
        &counters);
    return RunEnd(j);
}

Outcome Record(Job& j, const std::string& path) {
    const Options& o = j.o;
    const bool toStdout = IsStdStream(path);
    const std::string shown = toStdout ? "standard output" : path;
    const std::string header = record::RecordFileHeader(shell::kProgramTitle, j.address.panelId);
    std::string error;
    if (toStdout ? !j.report.WriteOut(header) : !record::StartRecordFile(path, header, &error)) {
        return {kExitFile, toStdout
                               ? OutputFailure()
                               : "The record file could not be written: " + path + "\n" + error};
    }
    bool writeFailed = false;
    uint32_t lines = 0;
    const record::RunHooks hooks = Hooks(
        j,
        [&](const live::LiveDataFrameBytes& frame) {
            const bool written = toStdout ? j.report.WriteOut(LiveLine(frame, WallClock::now(), {}))
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
    j.Link().LinkOk = 1;
    bool started = true;
    std::string startFailure;
    if (o.triggered) {
        started = record::RunTriggeredRecording(j.Link(), hooks, &counters,
                                                static_cast<uint32_t>(o.count));
        startFailure = j.Link().StatusText;
        // However the run ended, the sensor stops sending by itself.
        j.AllowCleanUp();
        record::StopAutoSend(j.Link());
    } else {
        record::TimedRun run;
        run.mode = o.endless ? record::kModeTimedEndless : record::kModeTimedCount;
        run.count = static_cast<uint32_t>(o.count);
        run.interval = o.interval;
        record::RunTimedRecording(j.Link(), run, hooks, &counters);
    }
    const bool stopped = j.Stopped();
    j.report.Warn("RECORD: " + std::to_string(lines) + (lines == 1 ? " frame" : " frames") +
                  " recorded to " + shown + (stopped ? " (stopped)" : ""));
    j.report.EmitJson(
        "record", {{"file", Q(path)}, {"frames", static_cast<int>(lines)}, {"stopped", stopped}});
    if (writeFailed) {
        return {kExitFile, toStdout
                               ? OutputFailure()
                               : "The record file could not be written: " + path + "\n" + error};
    }
    if (!started) {
        return {kExitLink, startFailure};
    }
    return RunEnd(j);
}

Outcome HardwareInfo(Job& j, const std::string& path) {
    hwinfo::HardwareInfo info;
    // The parameter set from the sensor's RAM as the program holds it, then
    // the calibration and the hardware block, as the connection page's
    // button reads them (the options allow no --eeprom here).
    const SensorSetRead set = ReadSensorSet(j);
    if (set.status != kExitDone) {
        return {set.status, set.message};
    }
    std::vector<std::string> warnings;
    const SetWords held = AsTheProgramHoldsIt(set.words, &warnings);
    for (const std::string& w : warnings) {
        j.report.Warn("INFO!\n" + w);
    }
    info.para = held.block;
    info.teach = held.table;
    if (calib::ReadCalibration(j.Link(), info.cf, info.offset) != 1 ||
        !hwinfo::ReadHardwareBlock(j.Link(), &info.dataText)) {
        return {kExitLink, j.Link().StatusText};
    }
    info.firmwareVersion = j.Link().SensorIdText;
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
        return j.report.WriteOut(text) ? Outcome{} : Outcome{kExitFile, OutputFailure()};
    }
    const int rc = hwinfo::WriteHardwareInfoFile(path, info);
    if (rc < 0) {
        return {kExitFile, params::FileWriteFailureText("The hardware information file", path, rc)};
    }
    j.report.Say("hardware information written to " + path);
    j.report.EmitJson("hwinfo", {{"file", Q(path)}});
    return {};
}

} // namespace cli
