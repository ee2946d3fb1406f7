// The recording loops: timed recording (modes 0 and 1), which asks the
// sensor for a frame at a fixed pace, and triggered recording (mode 3), in
// which the sensor sends a frame by itself on every trigger and the program
// takes the frames from the link as they come.
#include "link/com232.h"
#include "link/frame.h"
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
#include "record/record_texts.h"
#include "record/recorder.h"
#include "record/recorder_logic.h"
#include "record/recorder_state.h"
#include "record/recorder_ui.h"

#include <QPushButton>

#include <chrono>
#include <thread>

namespace record {

using detail::State;

namespace {

// The last few milliseconds before a request are slept through exactly
// rather than in event-processing steps, so the pace holds to well under a
// millisecond.
constexpr double kFineWaitSeconds = 0.0025;

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

// Waits, processing events, until `due`; returns at once when the recording
// is stopped.
void WaitUntil(double due) {
    while (com232::AcquisitionRunning == 1) {
        const double left = due - platform::Timer();
        if (left <= 0) {
            return;
        }
        if (left > kFineWaitSeconds) {
            platform::ProcessSystemEvents();
        } else {
            std::this_thread::sleep_for(std::chrono::duration<double>(left));
        }
    }
}

// Takes the frame whose header is at the start of RxBuffer: checks the
// header, reads the data part and records a live frame (other frames are
// skipped). False when the recording is to end; a link failure has been
// reported by the link.
bool TakeStreamFrame() {
    if (com232::CheckHeaderCRC() != 1) {
        return false;
    }
    if (com232::AnswerLength != 0 && com232::GetDataFrame() != 1) {
        return false;
    }
    if (com232::AnswerOrder != com232::kOrderLiveData) {
        return true;
    }
    if (!RecordLiveFrame(FrameOfData(com232::RxData(), com232::AnswerLength))) {
        return false;
    }
    State().runCounter += 1;
    detail::ShowCounters();
    return true;
}

// The frames collect in RxBuffer as the link reads them from the transport;
// each frame taken is removed and what follows it (frames that arrived
// together) moves to the front, so none is lost. A line error reported by
// the port, or a port that is gone, ends the recording with its message.
// When the recording ends otherwise (STOP RECORD, or the sensor closed the
// connection right behind its last frames, which the link reports), the
// frames already received whole are still written.
void TakeStream() {
    for (;;) {
        com232::PullReceived();
        if (com232::LineErrors() > 0) {
            com232::StatusText = kTextPortError;
            com232::SetTimeout();
            return;
        }
        if (com232::AcquisitionRunning != 1 && !com232::WholeFrameReceived()) {
            return;
        }
        if (com232::RxCount < static_cast<int>(com232::kHeaderSize)) {
            com232::AwaitMoreBytes();
            continue;
        }
        if (!TakeStreamFrame()) {
            return;
        }
        com232::DropAnswer();
    }
}

} // namespace

void RecordFrame() {
    RecorderPage& r = Page();
    com232::AcquisitionRunning = 1;
    State().recorded = 0;
    State().runCounter = 0;
    CalcRecTime();
    detail::ShowCounters();
    const double interval = r.interval->value();
    double due = platform::Timer();
    while (com232::AcquisitionRunning == 1) {
        if (State().cycleHook != nullptr) {
            State().cycleHook(platform::Timer());
        }
        com232::FillTxBuf(com232::kOrderLiveData, 0, 0);
        if (com232::DataExchange(static_cast<int>(com232::kHeaderSize)) == 1) {
            if (!RecordLiveFrame(live::FrameFromAnswer())) {
                break;
            }
        }
        // A failed exchange still counts.
        const int mode = r.mode->Val();
        if (mode == kModeTimedCount) {
            State().recorded += 1;
            if (State().recorded >= r.count->value()) {
                com232::AcquisitionRunning = 0;
            }
        } else if (mode == kModeTimedEndless) {
            State().runCounter += 1;
        }
        detail::ShowCounters();
        // The pace is kept from request start to request start.
        due = NextCycleStart(due, interval, platform::Timer());
        WaitUntil(due);
    }
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
    com232::FillTxBuf(com232::kOrderAutoSend, 1, 0);
    if (com232::DataExchange(static_cast<int>(com232::kHeaderSize)) != 1) {
        return;
    }
    com232::ComErrorBits = 0;
    com232::AcquisitionRunning = 1;
    State().runCounter = 0;
    detail::ShowCounters();
    // A frame that came right behind the acknowledgment is kept.
    com232::DropAnswer();
    // No time-out while waiting: the loop waits for the next frame, a link
    // failure or STOP RECORD.
    com232::HoldLinkForStream(true);
    TakeStream();
    com232::HoldLinkForStream(false);
    live::FlushDisplays();
}

void StopAutoSend() {
    if (!com232::LinkOpen()) {
        return; // the connection is gone: nothing can reach the sensor
    }
    com232::FillTxBuf(com232::kOrderAutoSend, 0, 0);
    com232::DataExchange(static_cast<int>(com232::kHeaderSize)); // the answer is not checked
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
    StopAutoSend();
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
