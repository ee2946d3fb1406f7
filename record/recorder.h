// The data recorder: records LiveDataFrames to the record file in four
// modes (timed with a count, timed without end, manual, triggered by the
// sensor). Every recorded frame also goes to the live displays and the
// signal graphs. The recording loops run inside their button's callback and
// end when AcquisitionRunning is cleared (STOP RECORD, a mode change, the
// count reached, a link failure, a line that cannot be written).
#pragma once

#include "platform/controls.h"

#include <cstdint>
#include <string>

namespace record {

// Shows the controls of the current record mode and hides the others.
void InitRecordPanel();
// Keeps the interval at 0.25 s or more and shows the record time of the
// count at that interval; the recorded count goes to 0, the remaining count
// to the full count.
void CalcRecTime();

// Lets the user choose the record file and starts it with its header.
void SelRecFile();
// Starts the record file afresh with its header. False (reported) when the
// file cannot be written.
bool WriteFileHeader();
// Appends the current LiveDataFrame with date and time. False when the line
// cannot be written: the recording running ends, and the loop (or the manual
// record) reports it with ReportWriteFailure.
bool ToFile();

// START RECORD after its confirmations: runs RecordFrame and reports.
void Record();
// The timed recording loop of modes 0 and 1.
void RecordFrame();
// The triggered recording loop (mode 3): the sensor sends a frame on every
// trigger after order 30 with 1.
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

// The record path (kept in the panel-settings file).
const std::string& RecordPath();

// Frames recorded in modes 0 and 2, and the run counter of modes 1 and 3.
uint16_t Recorded();
double RunCounter();
// True while a timed or triggered recording runs.
bool RecordingRunning();

// Start values of the recorder state (start-up, tests).
void ResetRecorderState();
// The display writer of the recorder page's counters (start-up).
void InstallRecorderDisplays();

// Benchmark hook: called with the platform Timer just before each request
// of a timed recording. nullptr removes it.
using CycleHook = void (*)(double requestTime);
void SetCycleHook(CycleHook hook);

} // namespace record
