// Colour-space graphs of the data panel.
#pragma once

namespace live {

// Redraws the teach-table shapes and recomputes the graph extents.
void InitGraphs();
// Plots the current frame into the strip charts and the 2D or 3D views.
void ShowGraph();

} // namespace live
