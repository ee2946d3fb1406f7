// The signal-graph panel: one graph per signal (RED, GREEN, BLUE, X, Y, INT,
// TEMP) over the frames the recorder takes, one graph visible at a time.
#pragma once

#include "live/live_math.h"
#include "live/live_state.h"
#include "platform/controls.h"

namespace live {

struct SignalGraphPanel;
class DisplayRefresh;
class FrameStream;

// Points kept per signal; the oldest are dropped beyond this (the record
// file keeps everything).
constexpr int kMaxSignalPoints = 200000;

// One window's signal-graph panel over a sensor's signal-graph series,
// written by the window's refresh.
class SignalGraphView {
public:
    SignalGraphView(SignalGraphPanel& panel, const FrameStream& frames, LiveState& live,
                    DisplayRefresh& refresh);
    SignalGraphView(const SignalGraphView&) = delete;
    SignalGraphView& operator=(const SignalGraphView&) = delete;

    // Clears the seven graphs and starts a new series at the current frame.
    void InitPanelGraph();
    // Adds `frame` to the series and the seven graphs (a frame published for
    // the signal graph).
    void AddToSignalGraph(const LiveDataFrameBytes& frame);
    // Shows only the graph chosen in the SIGNAL selector (any other value: RED).
    void SetGraphVisible();

    int CBF_ButtonShowGraph(QWidget*, ctl::Event);
    int CBF_ButtonGpClose(QWidget*, ctl::Event);
    int CBF_EditSignal(QWidget*, ctl::Event);
    int CBF_PanelGraphGraph(QWidget*, ctl::Event);
    int CBF_GRAPHP(QWidget*, ctl::Event);

private:
    void WriteSignalGraph();

    SignalGraphPanel& panel_;
    const FrameStream& frames_;
    LiveState& live_;
    DisplayRefresh& refresh_;
    platform::Subscription writer_;
};

} // namespace live
