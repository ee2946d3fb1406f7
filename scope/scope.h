// The scope: capture of 128 samples of the three analogue lines and the
// digital word around a trigger (order 110), the sensor's cycle time
// (order 105) for the time scale, the two graphs with their cursors, and the
// callbacks of the scope page and the scope panel.
#pragma once

#include "platform/controls.h"
#include "scope/scope_logic.h"
#include "scope/scope_run.h"

#include <array>
#include <cstdint>

namespace scope {

// Sample blocks of the last complete capture, in time order: red line,
// green line, blue line, digital word. A capture that fails or is broken
// off leaves all four as they were.
extern std::array<SampleBlock, kScopeBlocks> ScopeBlocks;
extern DigitalTraceSet DigitalTraces;
// Sensor cycle time in ms; 0 until measured.
extern double CycleTime;

// transitional: the program's capture state, until the scope's views get
// their sensor's.
ScanState& ProgramScan();

// Start values of the scope state (start-up, tests).
void ResetScopeState();
// The capture's own flags to their start values (part of ResetScopeState).
void ResetCaptureFlags();

// Order 105: cycle time and scan frequency, shown with their precisions.
void GetCycleTime();
// Delta X (ms) and delta Y (digits) between the scope graph's two cursors;
// the digital graph's cursors follow them.
void calcScopDeltaXY();
// Scope graph axes at "zoom 1:1" for the calculation mode and RECORD
// SIGNAL, then the deltas.
void initScopeGraph();

// Result of a capture.
enum class ScanResult { Plotted, Broken, Failed };
// Sends the settings, waits for the four blocks (no time-out: the sensor
// may take any time to trigger), orders and plots them.
ScanResult GetScopeData();

// Takes the four time-ordered blocks of a complete capture as the new
// capture, derives the digital traces and plots everything.
void TakeCapture(const std::array<SampleBlock, kScopeBlocks>& blocks);
// Re-plots the analogue traces chosen by SIGNAL, and the digital traces.
void PlotScopeGraph();
void PlotDigitalGraph();

// True while the SCAN callback runs.
bool ScanRunning();
// Captures plotted since start-up (benchmarks, tests).
unsigned long long CapturesPlotted();

// ---- callbacks --------------------------------------------------------------
int CBF_ButtonGetCycleTime(QWidget*, ctl::Event);
int CBF_ButtonScan(QWidget*, ctl::Event);
int CBF_ButtonBreakScan(QWidget*, ctl::Event);
int CBF_ButtonPrintScopeGraph(QWidget*, ctl::Event);
int CBF_EditScopeComment(QWidget*, ctl::Event);
int CBF_EditTriggerMode(QWidget*, ctl::Event);
int CBF_EditScanRate(QWidget*, ctl::Event);
int CBF_SCOPEP(QWidget*, ctl::Event);
int CBF_ButtonCloseSP(QWidget*, ctl::Event);
int CBF_ButtonZoom11(QWidget*, ctl::Event);
int CBF_EditScopeSignal(QWidget*, ctl::Event);
// ValueChanged: a cursor was moved or the user zoomed the graph.
int CBF_GraphScope(QWidget*, ctl::Event);

// Enables TRIGGER LEVEL and PRE-TRIGGER VALUES for the trigger mode shown.
void InitTriggerControls();

} // namespace scope
