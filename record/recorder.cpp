// The recorder page: the controls of each record mode, the record time, the
// record file with its header and lines, manual recording, and the page's
// callbacks. The recording loops are in record_loops.cpp.
#include "record/recorder.h"

#include "link/com232.h"
#include "link/program_link.h"
#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "live/live_params.h"
#include "live/signal_graph.h"
#include "platform/popups.h"
#include "platform/shell_services.h"
#include "platform/widgets.h"
#include "record/record_file.h"
#include "record/record_texts.h"
#include "record/recorder_logic.h"
#include "record/recorder_state.h"
#include "record/recorder_ui.h"

#include <QLineEdit>
#include <QPushButton>

#include <ctime>
#include <filesystem>

namespace record {

namespace detail {

RecorderState& State() {
    static RecorderState state;
    return state;
}

void ShowCounters() {
    live::RequestDisplay(live::kShowRecorder);
}

void ReportWriteFailure(bool recordingStopped) {
    std::string text = kTextCannotWrite + State().writeError;
    if (recordingStopped) {
        text += kTextRecordingStopped;
    }
    platform::MessagePopup(kTitleAttention, text);
}

} // namespace detail

using detail::State;

namespace {

RecorderPage& Page() {
    return Panels().recorder;
}

void WriteCounters() {
    if (!shell::Shell().PanelsLoaded()) {
        return;
    }
    RecorderPage& r = Page();
    r.recorded->SetVal(State().recorded);
    r.remaining->SetVal(r.count->value() - State().recorded);
    r.runCounter->SetVal(State().runCounter);
}

std::string PanelIdText() {
    return shell::Shell().PanelId();
}

} // namespace

const std::string& RecordPath() {
    return shell::Shell().Paths().recorderFile;
}

uint16_t Recorded() {
    return State().recorded;
}

double RunCounter() {
    return State().runCounter;
}

bool RecordingRunning() {
    return State().loopRunning;
}

void ResetRecorderState() {
    const CycleHook hook = State().cycleHook;
    State() = {};
    State().cycleHook = hook;
    com232::ProgramLink().HoldLinkForStream(false);
}

void InstallRecorderDisplays() {
    live::SetDisplayWriter(live::kShowRecorder, WriteCounters);
}

void SetCycleHook(CycleHook hook) {
    State().cycleHook = hook;
}

void InitRecordPanel() {
    RecorderPage& r = Page();
    const RecordModeView v = ViewOfRecordMode(r.mode->Val());
    r.intervalRow->setVisible(v.interval);
    r.countRow->setVisible(v.count);
    r.recordTimeRow->setVisible(v.recordTime);
    r.recordedRow->setVisible(v.recorded);
    r.remainingRow->setVisible(v.remaining);
    r.runCounterRow->setVisible(v.runCounter);
    r.startRecord->setVisible(v.startRecord);
    r.stopRecord->setVisible(v.stopRecord);
    r.startTrigRec->setVisible(v.startTrigRec);
    r.manualRecord->setVisible(v.manualRecord);
}

void CalcRecTime() {
    RecorderPage& r = Page();
    double interval = r.interval->value();
    const int count = r.count->value();
    r.recorded->SetVal(0);
    r.remaining->SetVal(count);
    if (interval < kMinRecordInterval) {
        interval = kMinRecordInterval;
        r.interval->SetVal(interval);
    }
    const RecordTime t = SplitRecordTime(interval * count);
    r.days->SetVal(t.days);
    r.hours->SetVal(t.hours);
    r.minutes->SetVal(t.minutes);
    r.seconds->SetVal(t.seconds);
}

void SelRecFile() {
    namespace fs = std::filesystem;
    shell::Shell().PrepareFolderOf(RecordPath());
    platform::FileSelectRequest request;
    request.directory = fs::path(RecordPath()).parent_path().string();
    request.defaultName = kRecordFileDefaultName;
    request.filter = kRecordFileFilter;
    request.title = kRecordFileDialogTitle;
    request.allowCancel = true;
    request.allowMakeDirectory = true;
    std::string chosen;
    const int kind = platform::FileSelectPopup(request, &chosen);
    if (kind <= platform::kNoFileSelected || chosen.empty()) {
        platform::MessagePopup(kTitleAttention, kTextNoFileSelected);
        return;
    }
    std::error_code ec;
    if (kind == platform::kExistingFileSelected || fs::exists(chosen, ec)) {
        // On No the previous record file stays the one recorded into, as
        // the path box still shows it.
        if (platform::ConfirmPopup(kTitleAttention, kTextFileExists) != 1) {
            return;
        }
        platform::MessagePopup(kTitleAttention, kTextMakeSure);
    }
    shell::Shell().Paths().recorderFile = chosen;
    Page().filePath->setText(QString::fromStdString(chosen));
    WriteFileHeader();
}

bool WriteFileHeader() {
    std::string reason;
    const std::string header = RecordFileHeader(shell::kProgramTitle, PanelIdText());
    shell::Shell().PrepareFolderOf(RecordPath());
    if (!StartRecordFile(RecordPath(), header, &reason)) {
        platform::MessagePopup(kTitleAttention, kTextCannotWrite + RecordPath() + "\n" + reason);
        return false;
    }
    return true;
}

bool ToFile() {
    std::string reason;
    // A record file that is not there (a path remembered from an earlier
    // session and never chosen in this one, or a file removed meanwhile)
    // starts with its header, so that every record file names its columns.
    // The default file's folder is made on the first record.
    shell::Shell().PrepareFolderOf(RecordPath());
    if (AppendFrameLine(RecordPath(), live::Frames().Current(),
                        RecordFileHeader(shell::kProgramTitle, PanelIdText()), &reason)) {
        return true;
    }
    // The first line that cannot be written ends the recording; what was
    // written before stays in the file.
    if (!State().writeFailed) {
        State().writeFailed = true;
        State().writeError = RecordPath() + "\n" + reason;
    }
    com232::ProgramLink().AcquisitionRunning = 0;
    return false;
}

void RecordManually() {
    // The frame shown now goes to the signal graphs once more, as a point
    // of the recording.
    const live::LiveDataFrameBytes shown = live::Frames().Current();
    live::Frames().Publish(shown, live::kUseSignalGraph, live::Parameters().EvaluationMode());
    State().writeFailed = false;
    if (!ToFile()) {
        detail::ReportWriteFailure(false);
        return;
    }
    ++State().recorded;
    Page().recorded->SetVal(State().recorded); // one press, shown at once
}

// ---- callbacks -------------------------------------------------------------

int CBF_ButtonSelRecFile(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit && !State().loopRunning) { // dimmed while recording
        SelRecFile();
    }
    return 0;
}

int CBF_DispRecFile(QWidget*, ctl::Event) {
    return 0;
}

int CBF_ButtonStopRecord(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        com232::ProgramLink().AcquisitionRunning =
            0; // the running recording ends at its next check
    }
    return 0;
}

int CBF_ButtonManualRecord(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit) {
        return 0;
    }
    QPushButton* button = Page().manualRecord;
    if (!button->isEnabled()) {
        return 0; // a record is still being written
    }
    button->setEnabled(false);
    RecordManually();
    if (shell::Shell().PanelsLoaded()) {
        button->setEnabled(true);
    }
    return 0;
}

int CBF_EditSelectDataRec(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit) {
        return 0;
    }
    com232::ProgramLink().AcquisitionRunning = 0;
    const int mode = Page().mode->Val();
    if (mode == kModeManual) {
        State().recorded = 0;
        Page().recorded->SetVal(0);
    }
    if (mode == kModeTimedCount) {
        CalcRecTime();
    }
    live::InitPanelGraph();
    InitRecordPanel();
    return 0;
}

int CBF_EditInterval(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        CalcRecTime();
    }
    return 0;
}

int CBF_EditRecVal(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        CalcRecTime();
    }
    return 0;
}

int CBF_DispRecordTime(QWidget*, ctl::Event) {
    return 0;
}

int CBF_DispRecordedValues(QWidget*, ctl::Event) {
    return 0;
}

int CBF_DispRemaining(QWidget*, ctl::Event) {
    return 0;
}

} // namespace record
