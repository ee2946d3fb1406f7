// The recording loops: timed recording (modes 0 and 1), which asks the
// sensor for a frame at a fixed pace, and triggered recording (mode 3), in
// which the sensor sends a frame by itself on every trigger and the program
// takes the frames from the link as they come.
#include "link/com232.h"
#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "live/go_loop.h"
#include "live/signal_graph.h"
#include "params/parameter_model.h"
#include "platform/popups.h"
#include "platform/runtime.h"
#include "platform/shell_services.h"
#include "platform/widgets.h"
#include "record/record_run.h"
#include "record/record_texts.h"
#include "record/recorder.h"
#include "record/recorder_logic.h"

#include <QPushButton>

#include <algorithm>

namespace record {

// A recording in its callback: a second one cannot start, and the record
// file stays the same until it ends.
class RecorderView::Running {
public:
    explicit Running(RecorderView& view) : view_(view) {
        view_.state_.running = true;
        view_.state_.writeFailed = false;
        view_.state_.writeError.clear();
        view_.page_.selectFile->setEnabled(false);
    }
    ~Running() {
        view_.state_.running = false;
        if (shell::Shell().PanelsLoaded()) {
            view_.page_.selectFile->setEnabled(true);
        }
    }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

private:
    RecorderView& view_;
};

bool RecorderView::MayStart() const {
    return !state_.running && !live_.GoRunning;
}

// A received frame to the signal graphs, the live displays and the record
// file. False when the line could not be written.
bool RecorderView::RecordLiveFrame(const live::LiveDataFrameBytes& frame) {
    frames_.Publish(frame, live::kUseRecording, model_.EvaluationMode());
    return ToFile();
}

// The page's side of a run: every frame recorded, the counters shown at
// screen rate, the benchmarks' cycle hook.
RunHooks RecorderView::PageHooks(RunCounters* counters) {
    RunHooks hooks;
    hooks.frame = [this](const live::LiveDataFrameBytes& frame) { return RecordLiveFrame(frame); };
    hooks.counters = [this, counters] {
        state_.recorded = static_cast<uint16_t>(counters->recorded);
        state_.runCounter = counters->runCounter;
        ShowCounters();
    };
    if (cycleHook_ != nullptr) {
        hooks.cycle = cycleHook_;
    }
    return hooks;
}

void RecorderView::RecordFrame() {
    RecorderPage& r = page_;
    state_.recorded = 0;
    state_.runCounter = 0;
    CalcRecTime();
    ShowCounters();
    TimedRun run;
    run.mode = r.mode->Val();
    run.interval = r.interval->value();
    run.count = static_cast<uint32_t>(std::max(0, r.count->value()));
    RunCounters counters;
    RunTimedRecording(link_, run, PageHooks(&counters), &counters);
    refresh_.Flush();
}

void RecorderView::Record() {
    RecorderPage& r = page_;
    if (platform::ConfirmPopup(kTitleAttention, kTextRightFileName) != 1) {
        return;
    }
    platform::MessagePopup(kTitleAttention, kTextMakeSure);
    r.interval->setReadOnly(true);
    r.count->setReadOnly(true);
    r.startRecord->setEnabled(false);
    ColourStartButton(r.startRecord, true);
    RecordFrame();
    if (state_.writeFailed) {
        ReportWriteFailure(true);
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

void RecorderView::TriggeredRecord() {
    RunCounters counters;
    RunTriggeredRecording(link_, PageHooks(&counters), &counters);
    refresh_.Flush();
}

int RecorderView::CBF_ButtonStartRecord(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit || !MayStart()) {
        return 0;
    }
    Running running(*this);
    shell::Shell().SetButtonsDimmed(0, 1);
    hooks_.initPanelGraph();
    Record();
    if (shell::Shell().PanelsLoaded()) {
        shell::Shell().SetButtonsDimmed(0, 0);
    }
    return 0;
}

int RecorderView::CBF_ButtonStartTrigRec(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit || !MayStart()) {
        return 0;
    }
    if (platform::ConfirmPopup(kTitleAttention, kTextRightFileName) != 1) {
        return 0;
    }
    Running running(*this);
    RecorderPage& r = page_;
    shell::Shell().SetButtonsDimmed(0, 1);
    platform::MessagePopup(kTitleAttention, kTextMakeSure);
    ColourStartButton(r.startTrigRec, true);
    TriggeredRecord();
    StopAutoSend(link_);
    if (state_.writeFailed) {
        ReportWriteFailure(true);
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
