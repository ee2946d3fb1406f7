#include "live/live_wiring.h"

#include "live/big_panels.h"
#include "live/graphs.h"
#include "live/live_data.h"
#include "live/live_ui.h"
#include "live/mode_views.h"
#include "live/signal_graph.h"
#include "platform/controls.h"
#include "platform/graph.h"
#include "platform/widgets.h"

#include <QCloseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>

namespace live {
namespace {

constexpr const char* kHelpRgb = "Displays the current color intensity of RED,GREEN and BLUE. ";

// Forwards the close box of a separate window to its panel callback; the
// window is hidden, never destroyed, so it can be opened again.
class CloseToCallback : public QObject {
public:
    CloseToCallback(QWidget* panel, int (*callback)(QWidget*, ctl::Event))
        : QObject(panel), panel_(panel), callback_(callback) {}

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
    int (*callback_)(QWidget*, ctl::Event);
};

void BindRgb(const RgbNumerics& n) {
    ctl::Bind(n.red, kHelpRgb, {});
    ctl::Bind(n.green, kHelpRgb, {});
    ctl::Bind(n.blue, kHelpRgb, {});
}

} // namespace

void WireDataPanel() {
    FollowModeRules();
    DataPanel& ui = Panels().data;
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
              CBF_DispCOL);
    ctl::Bind(ui.group,
              "Displays the current detected color group. \nDouble click opens a big display. "
              "\nClose the big display with a right mouse click.\n\nFailure condition is 255.",
              CBF_DispGroup);
    ctl::Bind(ui.trigger,
              "Displays whether the sensor is triggered (LED=green) or not(LED=black). \nSensor "
              "is triggered, when IN0 is +24V or when the sensor self triggers (TRIGGER=SELF).",
              {});
    ctl::Bind(ui.showGraph, "Switch to a graphical display for each signal.", CBF_ButtonShowGraph);

    ctl::Bind(ui.rgbChart,
              "Displays RED, GREEN, BLUE. \nLeft double click starts zooming. \nLeft click stops "
              "zooming.",
              CBF_GraphRGB);
    ctl::Bind(ui.intChart,
              "Displays intensity INT. \nLeft double click starts zooming. \nLeft click stops "
              "zooming.",
              CBF_GraphINT1);
    const char* help2D = "The two graphs diplay the color and the intensity.";
    ctl::Bind(ui.colorPlane, help2D, CBF_Graph2D);
    ctl::Bind(ui.intensityBar, help2D, CBF_Graph2D);
    const char* help3D = "The four graphs display a 3 sides view of the 3 dimensional "
                         "color/intensity sphere \nplus the intensity of RED, GREEN, BLUE in an "
                         "extra graph.";
    for (ctl::Graph* view : ui.view) {
        ctl::Bind(view, help3D, CBF_Graph3D);
    }
    ctl::Bind(ui.rgbChart3D, help3D, CBF_Graph3D);
    InstallLiveDisplays();
}

void WireSignalGraphPanel() {
    SignalGraphPanel& ui = Panels().signalGraph;
    ctl::Bind(ui.signal, "Select Signal to be displayed in the graph. ", CBF_EditSignal);
    ctl::Bind(ui.close, "Close PANEL and return to MAIN PANEL. ", CBF_ButtonGpClose);
    for (ctl::Graph* g : ui.graph) {
        ctl::Bind(g, "Displays the signals selected with SIGNAL. ", CBF_PanelGraphGraph);
    }
    InstallSignalGraphDisplays();
}

void WireBigPanels() {
    // The big displays carry no help texts: a right click on them, or their
    // close box, hides the window.
    LivePanels& p = Panels();
    ctl::Bind(p.colBig.panel, nullptr, CBF_COLBIGP);
    ctl::Bind(p.grpBig.panel, nullptr, CBF_GRPBIGP);
    p.colBig.panel->installEventFilter(new CloseToCallback(p.colBig.panel, CBF_COLBIGP));
    p.grpBig.panel->installEventFilter(new CloseToCallback(p.grpBig.panel, CBF_GRPBIGP));
}

} // namespace live
