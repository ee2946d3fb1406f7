// Every panel of the program with its controls. Panels are built once at
// start-up (LoadPanels) and discarded at exit; the application reaches the
// controls through P().
#pragma once

#include "app/main_panel_ui.h"
#include "calib/calib_ui.h"
#include "calib/calib_view.h"
#include "link/connect_page.h"
#include "link/connect_page_ui.h"
#include "live/display_refresh.h"
#include "live/live_parts.h"
#include "live/live_ui.h"
#include "live/live_views.h"
#include "params/mode_rules.h"
#include "params/param_pages_ui.h"
#include "params/param_views.h"
#include "record/record_viewers.h"
#include "record/recorder.h"
#include "record/recorder_ui.h"
#include "scope/scope.h"
#include "scope/scope_ui.h"
#include "sensor/sensor.h"
#include "teach/teach_ui.h"
#include "teach/teach_view.h"

#include <memory>

namespace app {

// Every panel of the program's window by name. The window owns each
// subsystem's panels and gives them to that subsystem's views; the main
// panel is the application's own.
struct Panels {
    explicit Panels(sensor::Sensor& s) : sensor(s) {}
    Panels(const Panels&) = delete;
    Panels& operator=(const Panels&) = delete;

    // The sensor this window works on, the window's screen-rate refresh and
    // the news that the operating-mode rules have run on its pages.
    sensor::Sensor& sensor;
    live::DisplayRefresh refresh;
    params::RuleEvents rules;
    // The sensor's parts that the live loop works on, as views get them.
    live::LiveParts Live() {
        return {sensor.link, sensor.transfer, sensor.model, sensor.frames, sensor.live};
    }

    MainPanel main;
    // The subsystems' panels.
    conn::LinkPanels linkPanels;
    params::ParamPanels paramPanels;
    teach::TeachPanels teachPanels;
    record::RecorderPanels recorderPanels;
    calib::CalibPanels calibPanels;
    scope::ScopePanels scopePanels;
    live::LivePanels livePanels;
    // The subsystems' views of the panels, made when the panels are wired
    // and dropped before the panels go.
    std::unique_ptr<params::ParamViews> paramViews;
    std::unique_ptr<live::LiveViews> liveViews;

    // pages of the main tab control
    conn::ConnectPage& connect = linkPanels.connect;
    params::ParameterPage& para = paramPanels.para;
    params::GroupHoldPage& groupHold = paramPanels.groupHold;
    teach::TeachPage& teachPage = teachPanels.teachPage;
    record::RecorderPage& recorder = recorderPanels.recorder;
    calib::CalibrationPage& calibration = calibPanels.calibration;
    teach::AttributesPage& attributes = teachPanels.attributes;
    scope::ScopePage& scopePage = scopePanels.scopePage;
    calib::OffsetPage& offset = calibPanels.offset;
    // child display panels (shown one at a time in the main panel)
    live::DataPanel& data = livePanels.data;
    live::SignalGraphPanel& signalGraph = livePanels.signalGraph;
    teach::TeachMeanPanel& teachMean = teachPanels.teachMean;
    teach::TeachGraphPanel& teachGraph = teachPanels.teachGraph;
    scope::ScopePanel& scope = scopePanels.scope;
    // separate windows
    live::BigPanel& colBig = livePanels.colBig;
    live::BigPanel& grpBig = livePanels.grpBig;
    calib::PasswordPanel& password = calibPanels.password;

    // The views on the subsystems' panels, made when the panels are wired
    // (WireAllPanels); they go before the widgets.
    // The main panel's own subscriptions.
    platform::Subscriptions subscriptions;
    // The record viewer windows opened from this window.
    std::unique_ptr<record::RecordViewers> viewers;
    std::unique_ptr<conn::ConnectView> connectView;
    std::unique_ptr<record::RecorderView> recorderView;
    std::unique_ptr<scope::ScopeView> scopeView;
    std::unique_ptr<teach::TeachViews> teachViews;
    std::unique_ptr<calib::CalibrationView> calibView;
};

// The program window's panels (all controls null while there is none).
Panels& P();

// Builds all panels of a window on `sensor` in start-up order; false when
// one cannot be built.
bool LoadPanels(sensor::Sensor& sensor);
// Discards every panel (shutdown, tests).
void DiscardPanels();
bool PanelsLoaded();

// The teach views and the calibration view of `p` on its sensor (each
// replaces the one made before).
void MakeTeachViews(Panels& p);
void MakeCalibView(Panels& p);
// What the other views ask of the live views of `p`.
live::LiveViewHooks LiveHooks(Panels& p);

} // namespace app
