// The signal-graph panel: one graph per signal (RED, GREEN, BLUE, X, Y, INT,
// TEMP) over the frames the recorder takes, one graph visible at a time.
#pragma once

#include "live/live_math.h"
#include "platform/controls.h"

namespace live {

// Points kept per signal; the oldest are dropped beyond this (the record
// file keeps everything).
constexpr int kMaxSignalPoints = 200000;

extern SignalSeries SignalGraphSeries;

// Clears the seven graphs and starts a new series at the current frame.
void InitPanelGraph();
// Adds `frame` to the seven graphs (a frame published for the signal graph).
void AddToSignalGraph(const LiveDataFrameBytes& frame);
// Shows only the graph chosen in the SIGNAL selector (any other value: RED).
void SetGraphVisible();

int CBF_ButtonShowGraph(QWidget*, ctl::Event);
int CBF_ButtonGpClose(QWidget*, ctl::Event);
int CBF_EditSignal(QWidget*, ctl::Event);
int CBF_PanelGraphGraph(QWidget*, ctl::Event);
int CBF_GRAPHP(QWidget*, ctl::Event);

// The display writer of the panel (start-up).
void InstallSignalGraphDisplays();

} // namespace live
