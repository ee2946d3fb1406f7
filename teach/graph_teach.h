// The graph teach panel: records measurements while material moves past
// the sensor, plots each into three side views (X/Y, X/INT, Y/INT or s/i,
// s/M, i/M), lets the operator pick one recorded point with a cursor and
// teaches it like TEACH DATA TO.
#pragma once

#include "platform/controls.h"
#include "teach/recorded_points.h"

namespace teach {

// The recorded points, index 0 first; they live until RESET.
extern PointBuffer RecordedPoints;
// Number of recorded points (the panel's counter shows it).
int RecordCount();

// The recording loop: order 8 until AcquisitionRunning is cleared (STOP,
// CLOSE, a link failure, or the buffer full).
void GetDataTP2();
// Stores and plots the current frame; the displays, cursors and graphs
// follow at screen rate.
void SetTP2Data();
// Selects the recorded point under cursor 1 of graph 0 (X/Y), 1 (X/INT) or
// 2 (Y/INT) and moves the cursors of all three views onto it.
void SetCursorTP2(int graph);
// Axis ranges and titles of the three views for the calculation mode
// (InitTeachPanel keeps them with the mode).
void InitGraphTP2Axes();

// True while the START callback runs.
bool GraphTeachRunning();
// Empty buffer and graphs, start values (start-up, tests).
void ResetGraphTeachState();
// Cursors of the three views and the panel's screen-rate display (start-up).
void InstallGraphTeachDisplays();

int CBF_ButtonTeachRecVal(QWidget*, ctl::Event);
int CBF_ButtonTP2Start(QWidget*, ctl::Event);
int CBF_ButtonTP2Reset(QWidget*, ctl::Event);
int CBF_ButtonTP2Teach(QWidget*, ctl::Event);
int CBF_GraphXYTP2(QWidget*, ctl::Event);
int CBF_GraphXIntTP2(QWidget*, ctl::Event);
int CBF_GraphYIntTP2(QWidget*, ctl::Event);
int CBF_DispTP2Counter(QWidget*, ctl::Event);
int CBF_TEACHP2(QWidget*, ctl::Event);

} // namespace teach
