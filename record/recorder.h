// The data recorder's view: the recorder page's behaviour on one sensor.
// It records LiveDataFrames to the record file in four modes (timed with a
// count, timed without end, manual, triggered by the sensor). Every
// recorded frame also goes to the live displays and the signal graphs. The
// recording loops run inside their button's callback and end when the
// link's AcquisitionRunning is cleared (STOP RECORD, a mode change, the
// count reached, a link failure, a line that cannot be written).
#pragma once

#include "live/live_parts.h"
#include "live/live_state.h"

#include "platform/controls.h"
#include "platform/notifier.h"
#include "record/record_run.h"
#include "record/recorder_state.h"
#include "record/recorder_ui.h"

#include <string>

namespace com232 {
class SensorLink;
}
namespace live {
class DisplayRefresh;
class FrameStream;
} // namespace live
namespace params {
class ParameterModel;
}

namespace record {

class RecordViewers;

class RecorderView {
public:
    // Binds the page's controls (help texts and callbacks) and shows the
    // counters through `refresh`; VIEW RECORD... opens its windows in
    // `viewers`.
    // `parts` are the sensor's that the recordings run on; `hooks` make
    // the window's signal graph ready for a recording.
    RecorderView(RecorderPanels& panels, const live::LiveParts& parts, RecorderState& state,
                 live::DisplayRefresh& refresh, RecordViewers& viewers,
                 const live::LiveViewHooks& hooks);
    RecorderView(const RecorderView&) = delete;
    RecorderView& operator=(const RecorderView&) = delete;

    // Shows the controls of the current record mode and hides the others.
    void InitRecordPanel();
    // Keeps the interval at 0.25 s or more and shows the record time of the
    // count at that interval; the recorded count goes to 0, the remaining
    // count to the full count.
    void CalcRecTime();

    // Lets the user choose the record file and starts it with its header.
    void SelRecFile();
    // Starts the record file afresh with its header. False (reported) when
    // the file cannot be written.
    bool WriteFileHeader();
    // Appends the current LiveDataFrame with date and time. False when the
    // line cannot be written: the recording running ends, and the loop (or
    // the manual record) reports it with ReportWriteFailure.
    bool ToFile();

    // START RECORD after its confirmations: runs RecordFrame and reports.
    void Record();
    // The timed recording loop of modes 0 and 1.
    void RecordFrame();
    // The triggered recording loop (mode 3): the sensor sends a frame on
    // every trigger after order 30 with 1.
    void TriggeredRecord();
    // Appends the current LiveDataFrame once (mode 2); no request is sent.
    void RecordManually();

    int CBF_ButtonSelRecFile(QWidget*, ctl::Event);
    int CBF_DispRecFile(QWidget*, ctl::Event);
    int CBF_ButtonStartRecord(QWidget*, ctl::Event);
    int CBF_ButtonStopRecord(QWidget*, ctl::Event);
    int CBF_ButtonStartTrigRec(QWidget*, ctl::Event);
    int CBF_ButtonManualRecord(QWidget*, ctl::Event);
    int CBF_EditSelectDataRec(QWidget*, ctl::Event);
    int CBF_EditInterval(QWidget*, ctl::Event);
    int CBF_EditRecVal(QWidget*, ctl::Event);
    int CBF_DispRecordTime(QWidget*, ctl::Event);
    int CBF_DispRecordedValues(QWidget*, ctl::Event);
    int CBF_DispRemaining(QWidget*, ctl::Event);
    // VIEW RECORD...: a record file chosen in the record file's directory
    // (the record file selected) opens in a viewer.
    int CBF_ButtonViewRecord(QWidget*, ctl::Event);

    // The record path (kept in the panel-settings file).
    const std::string& RecordPath() const;
    const RecorderState& State() const { return state_; }

    // Benchmark hook: called with the platform Timer just before each
    // request of a timed recording. nullptr removes it.
    using CycleHook = void (*)(double requestTime);
    void SetCycleHook(CycleHook hook) { cycleHook_ = hook; }

private:
    class Running;

    void Wire();
    // Asks for the recorded, remaining and run-counter displays (screen rate).
    void ShowCounters();
    void WriteCounters();
    // The "ATTENTION!" popup for the line that could not be written.
    void ReportWriteFailure(bool recordingStopped);
    bool MayStart() const;
    bool RecordLiveFrame(const live::LiveDataFrameBytes& frame);
    RunHooks PageHooks(RunCounters* counters);

    RecorderPage& page_;
    const live::LiveState& live_;
    com232::SensorLink& link_;
    params::ParameterModel& model_;
    live::FrameStream& frames_;
    RecorderState& state_;
    live::DisplayRefresh& refresh_;
    RecordViewers& viewers_;
    live::LiveViewHooks hooks_;
    CycleHook cycleHook_ = nullptr;
    platform::Subscription countersWriter_;
};

} // namespace record
