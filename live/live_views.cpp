#include "live/live_views.h"

#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "live/live_ui.h"
#include "platform/controls.h"
#include "platform/graph.h"
#include "platform/widgets.h"

#include <QCloseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>

#include <utility>

namespace live {
namespace {

constexpr const char* kHelpRgb = "Displays the current color intensity of RED,GREEN and BLUE. ";

// Forwards the close box of a separate window to its panel callback; the
// window is hidden, never destroyed, so it can be opened again.
class CloseToCallback : public QObject {
public:
    CloseToCallback(QWidget* panel, ctl::Callback callback)
        : QObject(panel), panel_(panel), callback_(std::move(callback)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == panel_ && event->type() == QEvent::Close) {
            callback_(panel_, ctl::Event::Close);
            event->accept();
            return true;
        }
        return false;
    }

private:
    QWidget* panel_;
    ctl::Callback callback_;
};

void BindRgb(const RgbNumerics& n) {
    ctl::Bind(n.red, kHelpRgb, {});
    ctl::Bind(n.green, kHelpRgb, {});
    ctl::Bind(n.blue, kHelpRgb, {});
}

} // namespace

LiveViews::LiveViews(LivePanels& panels, com232::SensorLink& link, params::TransferState& transfer,
                     params::ParameterModel& model, params::RuleEvents& rules, FrameStream& frames,
                     LiveState& live, DisplayRefresh& refresh)
    : graphs(panels.data, model, frames, live, refresh), modes(panels, model, rules, graphs),
      data(panels, frames, refresh), signalGraph(panels.signalGraph, frames, live, refresh),
      bigPanels(panels, refresh), go(link, transfer, model, frames, live, graphs, refresh),
      panels_(panels), refresh_(refresh) {
    WireDataPanel();
    WireSignalGraphPanel();
    WireBigPanels();
    frames_ = frames.published.Connect(
        [this](const LiveDataFrameBytes& frame, unsigned uses) { OnFrame(frame, uses); });
}

ctl::Callback LiveViews::Action(ctl::Callback action) const {
    return [alive = std::weak_ptr<void>(alive_), action = std::move(action)](QWidget* w,
                                                                             ctl::Event e) {
        if (!alive.expired()) {
            action(w, e);
        }
    };
}

LiveViews::~LiveViews() {
    for (QPointer<QObject>& filter : closeFilters_) {
        delete filter.data();
    }
}

void LiveViews::OnFrame(const LiveDataFrameBytes& frame, unsigned uses) {
    if (uses & kUseSignalGraph) {
        signalGraph.AddToSignalGraph(frame);
    }
    if (uses & kUseDisplays) {
        refresh_.Request(kShowPanelData);
    }
    if (uses & kUseGraphs) {
        graphs.ShowGraph();
    }
}

void LiveViews::WireDataPanel() {
    DataPanel& ui = panels_.data;
    // The tab control first: a binding also filters the widgets inside the
    // control, and the filters installed later (the pages' own controls) are
    // asked first, so each control keeps its own help text.
    ctl::Bind(ui.tabs, "Select TAB-window.", {});

    ctl::Bind(ui.x, "Displays the red content of the color currently arriving at the receiver.",
              {});
    ctl::Bind(ui.y, "Displays the green content of the color currently arriving at the receiver. ",
              {});
    ctl::Bind(ui.intensity,
              "Displays the intensity of the color currently arriving at the receiver. ", {});
    BindRgb(ui.rgb);
    BindRgb(ui.rgbPage);
    BindRgb(ui.intPage);
    BindRgb(ui.page2D);
    const char* barsHelp = "Displays the calibrated values of RED, GREEN and BLUE. \nFormula: "
                           "CALIBRATED DATA = (RAW DATA * CF) / 1024 ";
    ctl::Bind(ui.barsBox, barsHelp, {});
    for (QProgressBar* bar : ui.bar) {
        ctl::Bind(bar, barsHelp, {});
    }
    for (ctl::NumDisplay* extreme : ui.extreme) {
        ctl::Bind(extreme, "Displays the minimum and maximum values of RED, GREEN and BLUE.", {});
    }
    ctl::Bind(ui.deltaC,
              "Displays the distance to a COLOR HIT. \nWhen no color is detected, delta C depends "
              "on the EVALUATION MODE as follows: \nFIRST HIT: delta C is the distance to the "
              "last enabled row in the TEACH TABLE. \nBEST HIT and MIN DIST: delta C is -1. "
              "\nWhen INT or M is lower than INTLIM, delta C is set to -1.",
              {});
    ctl::Bind(ui.color,
              "Displays the current detected color number in \naccordance with the row in the "
              "TEACH TABLE. \nDouble click opens a big display. \nClose the big display with a "
              "right mouse click. \n\nFailure condition is 255.",
              Action([this](QWidget* w, ctl::Event e) { bigPanels.CBF_DispCOL(w, e); }));
    ctl::Bind(ui.group,
              "Displays the current detected color group. \nDouble click opens a big display. "
              "\nClose the big display with a right mouse click.\n\nFailure condition is 255.",
              Action([this](QWidget* w, ctl::Event e) { bigPanels.CBF_DispGroup(w, e); }));
    ctl::Bind(ui.trigger,
              "Displays whether the sensor is triggered (LED=green) or not(LED=black). \nSensor "
              "is triggered, when IN0 is +24V or when the sensor self triggers (TRIGGER=SELF).",
              {});
    ctl::Bind(ui.showGraph, "Switch to a graphical display for each signal.",
              Action([this](QWidget* w, ctl::Event e) { signalGraph.CBF_ButtonShowGraph(w, e); }));

    ctl::Bind(ui.rgbChart,
              "Displays RED, GREEN, BLUE. \nLeft double click starts zooming. \nLeft click stops "
              "zooming.",
              Action([this](QWidget* w, ctl::Event e) { graphs.CBF_GraphRGB(w, e); }));
    ctl::Bind(ui.intChart,
              "Displays intensity INT. \nLeft double click starts zooming. \nLeft click stops "
              "zooming.",
              Action([this](QWidget* w, ctl::Event e) { graphs.CBF_GraphINT1(w, e); }));
    const char* help2D = "The two graphs diplay the color and the intensity.";
    const auto graph2D = Action([this](QWidget* w, ctl::Event e) { graphs.CBF_Graph2D(w, e); });
    ctl::Bind(ui.colorPlane, help2D, graph2D);
    ctl::Bind(ui.intensityBar, help2D, graph2D);
    const char* help3D = "The four graphs display a 3 sides view of the 3 dimensional "
                         "color/intensity sphere \nplus the intensity of RED, GREEN, BLUE in an "
                         "extra graph.";
    const auto graph3D = Action([this](QWidget* w, ctl::Event e) { graphs.CBF_Graph3D(w, e); });
    for (ctl::Graph* view : ui.view) {
        ctl::Bind(view, help3D, graph3D);
    }
    ctl::Bind(ui.rgbChart3D, help3D, graph3D);
}

void LiveViews::WireSignalGraphPanel() {
    SignalGraphPanel& ui = panels_.signalGraph;
    ctl::Bind(ui.signal, "Select Signal to be displayed in the graph. ",
              Action([this](QWidget* w, ctl::Event e) { signalGraph.CBF_EditSignal(w, e); }));
    ctl::Bind(ui.close, "Close PANEL and return to MAIN PANEL. ",
              Action([this](QWidget* w, ctl::Event e) { signalGraph.CBF_ButtonGpClose(w, e); }));
    for (ctl::Graph* g : ui.graph) {
        ctl::Bind(
            g, "Displays the signals selected with SIGNAL. ",
            Action([this](QWidget* w, ctl::Event e) { signalGraph.CBF_PanelGraphGraph(w, e); }));
    }
}

void LiveViews::WireBigPanels() {
    // The big displays carry no help texts: a right click on them, or their
    // close box, hides the window.
    LivePanels& p = panels_;
    const ctl::Callback colBig =
        Action([this](QWidget* w, ctl::Event e) { bigPanels.CBF_COLBIGP(w, e); });
    const ctl::Callback grpBig =
        Action([this](QWidget* w, ctl::Event e) { bigPanels.CBF_GRPBIGP(w, e); });
    ctl::Bind(p.colBig.panel, nullptr, colBig);
    ctl::Bind(p.grpBig.panel, nullptr, grpBig);
    closeFilters_[0] = new CloseToCallback(p.colBig.panel, colBig);
    closeFilters_[1] = new CloseToCallback(p.grpBig.panel, grpBig);
    p.colBig.panel->installEventFilter(closeFilters_[0]);
    p.grpBig.panel->installEventFilter(closeFilters_[1]);
}

} // namespace live
