// The recording loops: timed recording (modes 0 and 1), which asks the
// sensor for a frame at a fixed pace, and triggered recording (mode 3), in
// which the sensor sends a frame by itself on every trigger and the program
// takes the frames from the link as they come.
#include "link/com232.h"
#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "live/go_loop.h"
#include "live/live_data.h"
#include "live/live_params.h"
#include "live/signal_graph.h"
#include "platform/popups.h"
#include "platform/runtime.h"
#include "platform/shell_services.h"
#include "platform/widgets.h"
#include "record/record_run.h"
#include "record/record_texts.h"
#include "record/recorder.h"
#include "record/recorder_logic.h"
#include "record/recorder_state.h"
#include "record/recorder_ui.h"

#include <QPushButton>

#include <algorithm>

namespace record {

using detail::State;

namespace {

RecorderPage& Page() {
    return Panels().recorder;
}

// A recording in its callback: a second one cannot start, and the record
// file stays the same until it ends.
class RecordingScope {
public:
    RecordingScope() {
        State().loopRunning = true;
        State().writeFailed = false;
        State().writeError.clear();
        Page().selectFile->setEnabled(false);
    }
    ~RecordingScope() {
        State().loopRunning = false;
        if (shell::Shell().PanelsLoaded()) {
            Page().selectFile->setEnabled(true);
        }
    }
    RecordingScope(const RecordingScope&) = delete;
    RecordingScope& operator=(const RecordingScope&) = delete;
};

bool MayStart() {
    return !State().loopRunning && !live::GoRunning();
}

// A received frame to the signal graphs, the live displays and the record
// file. False when the line could not be written.
bool RecordLiveFrame(const live::LiveDataFrameBytes& frame) {
    live::Frames().Publish(frame, live::kUseRecording, live::Parameters().EvaluationMode());
    return ToFile();
}

// The page's side of a run: every frame recorded, the counters shown at
// screen rate, the benchmarks' cycle hook.
RunHooks PageHooks(RunCounters* counters) {
    RunHooks hooks;
    hooks.frame = RecordLiveFrame;
    hooks.counters = [counters] {
        State().recorded = static_cast<uint16_t>(counters->recorded);
        State().runCounter = counters->runCounter;
        detail::ShowCounters();
    };
    if (State().cycleHook != nullptr) {
        hooks.cycle = State().cycleHook;
    }
    return hooks;
}

} // namespace

void RecordFrame() {
    RecorderPage& r = Page();
    State().recorded = 0;
    State().runCounter = 0;
    CalcRecTime();
    detail::ShowCounters();
    TimedRun run;
    run.mode = r.mode->Val();
    run.interval = r.interval->value();
    run.count = static_cast<uint32_t>(std::max(0, r.count->value()));
    RunCounters counters;
    RunTimedRecording(com232::ProgramLink(), run, PageHooks(&counters), &counters);
    live::FlushDisplays();
}

void Record() {
    RecorderPage& r = Page();
    if (platform::ConfirmPopup(kTitleAttention, kTextRightFileName) != 1) {
        return;
    }
    platform::MessagePopup(kTitleAttention, kTextMakeSure);
    r.interval->setReadOnly(true);
    r.count->setReadOnly(true);
    r.startRecord->setEnabled(false);
    ColourStartButton(r.startRecord, true);
    RecordFrame();
    if (State().writeFailed) {
        detail::ReportWriteFailure(true);
    } else if (!platform::QuitRequested()) { // not after the main panel was closed
        platform::MessagePopup(kTitleInfo, kTextFileSaved);
    }
    if (!shell::Shell().PanelsLoaded()) {
        return;
    }
    r.interval->setReadOnly(false);
    r.count->setReadOnly(false);
    ColourStartButton(r.startRecord, false);
    r.startRecord->setEnabled(true);
}

void TriggeredRecord() {
    RunCounters counters;
    RunTriggeredRecording(com232::ProgramLink(), PageHooks(&counters), &counters);
    live::FlushDisplays();
}

int CBF_ButtonStartRecord(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit || !MayStart()) {
        return 0;
    }
    RecordingScope scope;
    shell::Shell().SetButtonsDimmed(0, 1);
    live::InitPanelGraph();
    Record();
    if (shell::Shell().PanelsLoaded()) {
        shell::Shell().SetButtonsDimmed(0, 0);
    }
    return 0;
}

int CBF_ButtonStartTrigRec(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit || !MayStart()) {
        return 0;
    }
    if (platform::ConfirmPopup(kTitleAttention, kTextRightFileName) != 1) {
        return 0;
    }
    RecordingScope scope;
    RecorderPage& r = Page();
    shell::Shell().SetButtonsDimmed(0, 1);
    platform::MessagePopup(kTitleAttention, kTextMakeSure);
    ColourStartButton(r.startTrigRec, true);
    TriggeredRecord();
    StopAutoSend(com232::ProgramLink());
    if (State().writeFailed) {
        detail::ReportWriteFailure(true);
    } else if (!platform::QuitRequested()) { // not after the main panel was closed
        platform::MessagePopup(kTitleInfo, kTextFileSaved);
    }
    if (shell::Shell().PanelsLoaded()) {
        ColourStartButton(r.startTrigRec, false);
        shell::Shell().SetButtonsDimmed(0, 0);
    }
    return 0;
}

} // namespace record
