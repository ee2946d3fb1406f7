// Every panel of the program with its controls. Panels are built once at
// start-up (LoadPanels) and discarded at exit; the application reaches the
// controls through P().
#pragma once

#include "app/main_panel_ui.h"
#include "calib/calib_ui.h"
#include "link/connect_page.h"
#include "calib/calib_view.h"
#include "link/connect_page_ui.h"
#include "live/live_ui.h"
#include "live/live_views.h"
#include "params/param_pages_ui.h"
#include "record/recorder.h"
#include "params/param_views.h"
#include "record/recorder_ui.h"
#include "scope/scope.h"
#include "scope/scope_ui.h"
#include "teach/teach_state.h"
#include "teach/teach_ui.h"
#include "teach/teach_view.h"

#include <memory>

#include <memory>

#include <memory>

namespace app {

// Every panel of the program's window by name. The window owns each
// subsystem's panels and gives them to that subsystem's views; the main
// panel is the application's own.
struct Panels {
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

    // transitional: the program sensor's recorder and scope parts, until
    // app owns the program's sensor.
    record::RecorderState recorderState;
    scope::ScopeState scopeState;
    scope::ScanState scan;
    // The views on the subsystems' panels, made when the panels are wired
    // (WireAllPanels); they go before the widgets.
    std::unique_ptr<conn::ConnectView> connectView;
    std::unique_ptr<record::RecorderView> recorderView;
    std::unique_ptr<scope::ScopeView> scopeView;
    std::unique_ptr<teach::TeachViews> teachViews;
    std::unique_ptr<calib::CalibrationView> calibView;
};

Panels& P();

// Builds all panels in start-up order; false when one cannot be built.
bool LoadPanels();
// Discards every panel (shutdown, tests).
void DiscardPanels();
bool PanelsLoaded();

// The teach views and the calibration view of `p` on the program's sensor
// (each replaces the one made before).
void MakeTeachViews(Panels& p);
void MakeCalibView(Panels& p);

// transitional: the program sensor's calibration and teach parts, until the
// program's sensor::Sensor is app's own.
calib::CalibState& ProgramCalib();
teach::TeachState& ProgramTeach();

} // namespace app
