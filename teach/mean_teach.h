// The mean-value teach panel: captures up to 100 frames of one colour,
// shows their means and scatter, and teaches the mean into a teach row with
// tolerances from the scatter, fixed values, both, or the row's own.
// The panel's tables hold the captured frames; nothing else keeps a copy.
#pragma once

#include "platform/controls.h"

#include <cstdint>

namespace teach {

// Means of RED, GREEN, BLUE, X, Y, INT (or s, i, M) of the captured frames.
extern uint16_t MeanValues[6];

void CaptureFrame();
void UndoCapture();
void CalcMeanValues();
void CalcMaxDelta();
void ResetTeachMeanPanelTable();
void TeachToTable();

// True while the live loop that opening the panel started is running.
bool MeanPanelLoopRunning();
// Start values of this module's state (tests).
void ResetMeanTeachState();

int CBF_ButtonTeachMeanVal(QWidget*, ctl::Event);
int CBF_ButtonTP1Capture(QWidget*, ctl::Event);
int CBF_ButtonTP1Undo(QWidget*, ctl::Event);
int CBF_ButtonTP1ResetTable(QWidget*, ctl::Event);
int CBF_ButtonTP1Teach(QWidget*, ctl::Event);
int CBF_GridTP1Values(QWidget*, ctl::Event);
int CBF_GridTP1Mean(QWidget*, ctl::Event);
int CBF_DispTP1Counter(QWidget*, ctl::Event);
int CBF_DispTP1MaxDeltaXY(QWidget*, ctl::Event);
int CBF_DispTP1MaxDeltaInt(QWidget*, ctl::Event);
int CBF_EditTP1TeachCtoWith(QWidget*, ctl::Event);
int CBF_EditTP1TeachItoWith(QWidget*, ctl::Event);
int CBF_EditTP1ValueCto(QWidget*, ctl::Event);
int CBF_EditTP1ValueIto(QWidget*, ctl::Event);
// CLOSE of both assistant panels: ends any polling loop and shows the data
// panel again.
int CBF_ButtonCloseTeachPanel(QWidget*, ctl::Event);
int CBF_TEACHP1(QWidget*, ctl::Event);

} // namespace teach
