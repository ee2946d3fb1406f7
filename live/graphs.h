// Colour-space graphs and strip charts of the data panel: the teach rows'
// tolerance shapes, the extents the views centre on, the strip-chart
// histories, and the per-frame view of the current measurement.
#pragma once

#include "live/live_math.h"
#include "live/live_state.h"
#include "platform/controls.h"

namespace params {
class ParameterModel;
}

namespace live {

struct DataPanel;
class DisplayRefresh;
class FrameStream;

// The graphs of one window's data panel for a sensor's model, current frame
// and histories; they are written by the window's refresh.
class GraphView {
public:
    GraphView(DataPanel& panel, const params::ParameterModel& model, const FrameStream& frames,
              LiveState& live, DisplayRefresh& refresh);
    GraphView(const GraphView&) = delete;
    GraphView& operator=(const GraphView&) = delete;

    // The band of the selected teach row on the 2D page's intensity bar.
    void InitGraphInt2();
    // Redraws the teach-table shapes (and the selected row's intensity
    // band) and recomputes the graph extents.
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

private:
    void WriteGraphs();
    void DrawIntensityBand();

    DataPanel& panel_;
    const params::ParameterModel& model_;
    const FrameStream& frames_;
    LiveState& live_;
    DisplayRefresh& refresh_;
    platform::Subscription writer_;
};

} // namespace live
