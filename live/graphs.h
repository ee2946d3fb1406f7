// Colour-space graphs and strip charts of the data panel: the teach rows'
// tolerance shapes, the extents the views centre on, the strip-chart
// histories, and the per-frame view of the current measurement.
#pragma once

#include "live/live_histories.h"
#include "live/live_math.h"
#include "platform/controls.h"

namespace live {

// Redraws the teach-table shapes (and the selected row's intensity band) and
// recomputes the graph extents.
// The band of the selected teach row on the 2D page's intensity bar.
void InitGraphInt2();
void InitGraphs();
// Asks for the strip charts and the 2D or 3D views of the current frame.
void ShowGraph();
// Axes and cursors of the 2D or 3D page for the current frame (drawn at
// screen rate by ShowGraph; called directly they draw at once).
void ShowGraph2D();
void ShowGraph3D();

int CBF_GraphRGB(QWidget*, ctl::Event);
int CBF_GraphINT1(QWidget*, ctl::Event);
int CBF_Graph2D(QWidget*, ctl::Event);
int CBF_Graph3D(QWidget*, ctl::Event);

// Histories and extents to their start values (start-up, tests).
void ResetGraphState();
// Cursors of the data panel's graphs and the display writer (start-up).
void InstallGraphDisplays();

} // namespace live
