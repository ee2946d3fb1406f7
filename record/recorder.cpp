// The recorder page: the controls of each record mode, the record time, the
// record file with its header and lines, manual recording, and the page's
// callbacks. The recording loops are in record_loops.cpp.
#include "record/recorder.h"

#include "link/com232.h"
#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "live/signal_graph.h"
#include "params/parameter_model.h"
#include "platform/popups.h"
#include "platform/shell_services.h"
#include "platform/widgets.h"
#include "record/record_file.h"
#include "record/record_texts.h"
#include "record/recorder_logic.h"

#include <QLineEdit>
#include <QPushButton>

#include <ctime>
#include <filesystem>

namespace record {
namespace {

std::string PanelIdText() {
    return shell::Shell().PanelId();
}

} // namespace

RecorderView::RecorderView(RecorderPanels& panels, const live::LiveParts& parts,
                           RecorderState& state, live::DisplayRefresh& refresh,
                           RecordViewers& viewers, const live::LiveViewHooks& hooks)
    : page_(panels.recorder), live_(parts.live), link_(parts.link), model_(parts.model),
      frames_(parts.frames), state_(state), refresh_(refresh), viewers_(viewers), hooks_(hooks) {
    Wire();
}

void RecorderView::ShowCounters() {
    refresh_.Request(live::kShowRecorder);
}

void RecorderView::ReportWriteFailure(bool recordingStopped) {
    std::string text = kTextCannotWrite + state_.writeError;
    if (recordingStopped) {
        text += kTextRecordingStopped;
    }
    platform::MessagePopup(kTitleAttention, text);
}

void RecorderView::WriteCounters() {
    if (!shell::Shell().PanelsLoaded()) {
        return;
    }
    page_.recorded->SetVal(state_.recorded);
    page_.remaining->SetVal(page_.count->value() - state_.recorded);
    page_.runCounter->SetVal(state_.runCounter);
}

const std::string& RecorderView::RecordPath() const {
    return shell::Shell().Paths().recorderFile;
}

void RecorderView::InitRecordPanel() {
    RecorderPage& r = page_;
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

void RecorderView::CalcRecTime() {
    RecorderPage& r = page_;
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

void RecorderView::SelRecFile() {
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
    page_.filePath->setText(QString::fromStdString(chosen));
    WriteFileHeader();
}

bool RecorderView::WriteFileHeader() {
    std::string reason;
    const std::string header = RecordFileHeader(shell::kProgramTitle, PanelIdText());
    shell::Shell().PrepareFolderOf(RecordPath());
    if (!StartRecordFile(RecordPath(), header, &reason)) {
        platform::MessagePopup(kTitleAttention, kTextCannotWrite + RecordPath() + "\n" + reason);
        return false;
    }
    return true;
}

bool RecorderView::ToFile() {
    std::string reason;
    // A record file that is not there (a path remembered from an earlier
    // session and never chosen in this one, or a file removed meanwhile)
    // starts with its header, so that every record file names its columns.
    // The default file's folder is made on the first record.
    shell::Shell().PrepareFolderOf(RecordPath());
    if (AppendFrameLine(RecordPath(), frames_.Current(),
                        RecordFileHeader(shell::kProgramTitle, PanelIdText()), &reason)) {
        return true;
    }
    // The first line that cannot be written ends the recording; what was
    // written before stays in the file.
    if (!state_.writeFailed) {
        state_.writeFailed = true;
        state_.writeError = RecordPath() + "\n" + reason;
    }
    link_.AcquisitionRunning = 0;
    return false;
}

void RecorderView::RecordManually() {
    // The frame shown now goes to the signal graphs once more, as a point
    // of the recording.
    const live::LiveDataFrameBytes shown = frames_.Current();
    frames_.Publish(shown, live::kUseSignalGraph, model_.EvaluationMode());
    state_.writeFailed = false;
    if (!ToFile()) {
        ReportWriteFailure(false);
        return;
    }
    ++state_.recorded;
    page_.recorded->SetVal(state_.recorded); // one press, shown at once
}

// ---- callbacks -------------------------------------------------------------

int RecorderView::CBF_ButtonSelRecFile(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit && !state_.running) { // dimmed while recording
        SelRecFile();
    }
    return 0;
}

int RecorderView::CBF_DispRecFile(QWidget*, ctl::Event) {
    return 0;
}

int RecorderView::CBF_ButtonStopRecord(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        link_.AcquisitionRunning = 0; // the running recording ends at its next check
    }
    return 0;
}

int RecorderView::CBF_ButtonManualRecord(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit) {
        return 0;
    }
    QPushButton* button = page_.manualRecord;
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

int RecorderView::CBF_EditSelectDataRec(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit) {
        return 0;
    }
    link_.AcquisitionRunning = 0;
    const int mode = page_.mode->Val();
    if (mode == kModeManual) {
        state_.recorded = 0;
        page_.recorded->SetVal(0);
    }
    if (mode == kModeTimedCount) {
        CalcRecTime();
    }
    hooks_.initPanelGraph();
    InitRecordPanel();
    return 0;
}

int RecorderView::CBF_EditInterval(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        CalcRecTime();
    }
    return 0;
}

int RecorderView::CBF_EditRecVal(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        CalcRecTime();
    }
    return 0;
}

int RecorderView::CBF_DispRecordTime(QWidget*, ctl::Event) {
    return 0;
}

int RecorderView::CBF_DispRecordedValues(QWidget*, ctl::Event) {
    return 0;
}

int RecorderView::CBF_DispRemaining(QWidget*, ctl::Event) {
    return 0;
}

} // namespace record
