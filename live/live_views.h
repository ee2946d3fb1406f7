// The live subsystem's views of one window: the data panel with its graphs,
// the signal-graph panel, the two big display windows, the panels following
// the mode rules, and GO and STOP. The window makes them once its panels
// are built, for its sensor's parts and its own refresh, and drops them
// before the panels go; every subscription, display writer and binding ends
// with them.
#pragma once

#include "live/big_panels.h"
#include "live/go_commands.h"
#include "live/graphs.h"
#include "live/live_data.h"
#include "live/mode_views.h"
#include "live/signal_graph.h"
#include "platform/notifier.h"

#include <QPointer>

#include <memory>

namespace com232 {
class SensorLink;
}
namespace params {
class ParameterModel;
class TransferState;
struct RuleEvents;
} // namespace params

namespace live {

struct LivePanels;
class DisplayRefresh;
class FrameStream;
class LiveState;

class LiveViews {
public:
    // `rules` are the events of the window's mode rules.
    LiveViews(LivePanels& panels, com232::SensorLink& link, params::TransferState& transfer,
              params::ParameterModel& model, params::RuleEvents& rules, FrameStream& frames,
              LiveState& live, DisplayRefresh& refresh);
    ~LiveViews();
    LiveViews(const LiveViews&) = delete;
    LiveViews& operator=(const LiveViews&) = delete;

    GraphView graphs;
    ModeViews modes;
    DataPanelView data;
    SignalGraphView signalGraph;
    BigPanelsView bigPanels;
    GoCommands go;

private:
    // Each control gets its help text (right click) and its action.
    void WireDataPanel();
    void WireSignalGraphPanel();
    void WireBigPanels();
    // A published frame: the signal graph takes a recorded one, and the
    // displays are asked for at screen rate (the histories have taken the
    // frame already).
    void OnFrame(const LiveDataFrameBytes& frame, unsigned uses);

    // The action of a control: the controls keep it after the views have
    // gone, when it does nothing.
    ctl::Callback Action(ctl::Callback action) const;

    LivePanels& panels_;
    DisplayRefresh& refresh_;
    QPointer<QObject> closeFilters_[2];
    std::shared_ptr<void> alive_ = std::make_shared<int>(0);
    platform::Subscription frames_;
};

} // namespace live
