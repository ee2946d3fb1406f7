// The scope page's commands: the cycle time, and one capture as a table
// with a time column (from the cycle time and the scan rate) and the
// trigger sample marked.
#include "cli/acquire.h"
#include "cli/outputs.h"
#include "cli/report.h"
#include "link/com232.h"
#include "record/record_file.h"
#include "scope/scope_logic.h"
#include "scope/scope_run.h"

namespace cli {
namespace {

using Settings = std::array<uint16_t, scope::kScopeSettingCount>;

// The sample the trigger fell on: SINGLE SHOT starts at SCAN, the other
// modes keep PRE-TRIGGER VALUES samples before it.
int TriggerSample(const Settings& s) {
    return s[scope::kTriggerMode] == scope::kSingleShot ? 0 : s[scope::kPreTriggerValues];
}

std::string ScopeTable(const std::array<scope::SampleBlock, scope::kScopeBlocks>& blocks,
                       const Settings& s, double cycleTimeMs) {
    std::string text = s[scope::kRecordSignal] == scope::kRecordXyInt
                           ? "SAMPLE\tTIME ms\tX s\tY i\tINT M\tDIGITAL\tTRIGGER\r\n"
                           : "SAMPLE\tTIME ms\tRED\tGREEN\tBLUE\tDIGITAL\tTRIGGER\r\n";
    const int trigger = TriggerSample(s);
    const double step = cycleTimeMs * s[scope::kScanRate];
    for (int i = 0; i < scope::kScopeSamples; ++i) {
        text += std::to_string(i) + "\t" + Decimal((i - trigger) * step, 4) + "\t" +
                std::to_string(blocks[0][i]) + "\t" + std::to_string(blocks[1][i]) + "\t" +
                std::to_string(blocks[2][i]) + "\t" +
                std::to_string(static_cast<uint16_t>(blocks[3][i])) + "\t" +
                (i == trigger ? "1" : "0") + "\r\n";
    }
    return text;
}

} // namespace

Outcome CycleTime(Job& j) {
    j.Link().LinkOk = 1;
    const double cycle = scope::ReadCycleTime(j.Link());
    if (j.Link().LinkOk != 1) {
        return {kExitLink, j.Link().StatusText};
    }
    const double frequency = scope::ScanFrequencyHz(cycle);
    j.report.Say("CYCLE TIME: " + Decimal(cycle, scope::CycleTimeDecimals(cycle)) +
                 " ms\nSCAN FREQUENCY: " + Decimal(frequency, scope::ScanFrequencyDecimals(cycle)) +
                 " Hz");
    j.report.EmitJson("cycle-time", {{"cycleTimeMs", cycle}, {"scanFrequencyHz", frequency}});
    return {};
}

Outcome Scope(Job& j, const std::string& path) {
    const Options& o = j.o;
    const Settings settings = {static_cast<uint16_t>(o.level), static_cast<uint16_t>(o.triggerMode),
                               static_cast<uint16_t>(o.pretrigger),
                               static_cast<uint16_t>(o.scanRate), static_cast<uint16_t>(o.signal)};
    // The time scale first: the capture may wait long for its trigger.
    j.Link().LinkOk = 1;
    const double cycle = scope::ReadCycleTime(j.Link());
    if (j.Link().LinkOk != 1) {
        return {kExitLink, j.Link().StatusText};
    }
    std::array<scope::SampleBlock, scope::kScopeBlocks> blocks{};
    const scope::CaptureEnd end = scope::CaptureScope(j.Link(), j.sensor.scan, settings, &blocks);
    if (end == scope::CaptureEnd::Failed && !j.Stopped()) {
        return {kExitLink, j.Link().StatusText};
    }
    if (end != scope::CaptureEnd::Complete) {
        j.AllowCleanUp();
        // The sensor no longer waits for its trigger.
        scope::BreakDataScan(j.Link(), j.sensor.scan);
        return {kExitRefused, "The capture was broken off; no file was written."};
    }
    const std::string table = ScopeTable(blocks, settings, cycle);
    if (IsStdStream(path)) {
        return j.report.WriteOut(table) ? Outcome{} : Outcome{kExitFile, OutputFailure()};
    }
    std::string error;
    if (!record::StartRecordFile(path, table, &error)) {
        return {kExitFile, "The scope file could not be written: " + path + "\n" + error};
    }
    j.report.Say("scope capture written to " + path);
    j.report.EmitJson("scope", {{"file", Q(path)}, {"cycleTimeMs", cycle}});
    return {};
}

} // namespace cli
