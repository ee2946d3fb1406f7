// Every panel of the program with its controls. Panels are built once at
// start-up (LoadPanels) and discarded at exit; the application reaches the
// controls through P().
#pragma once

#include "app/main_panel_ui.h"
#include "calib/calib_ui.h"
#include "link/connect_page_ui.h"
#include "live/live_ui.h"
#include "params/param_pages_ui.h"
#include "record/recorder_ui.h"
#include "scope/scope_ui.h"
#include "teach/teach_ui.h"

namespace app {

// Every panel by name. The main panel is the application's own; the others
// are the subsystems' panels (each subsystem keeps its own and reaches them
// through its Panels()), named here for the application's wiring.
struct Panels {
    MainPanel main;
    // pages of the main tab control
    conn::ConnectPage& connect = conn::Panels().connect;
    params::ParameterPage& para = params::Panels().para;
    params::GroupHoldPage& groupHold = params::Panels().groupHold;
    teach::TeachPage& teachPage = teach::Panels().teachPage;
    record::RecorderPage& recorder = record::Panels().recorder;
    calib::CalibrationPage& calibration = calib::Panels().calibration;
    teach::AttributesPage& attributes = teach::Panels().attributes;
    scope::ScopePage& scopePage = scope::Panels().scopePage;
    calib::OffsetPage& offset = calib::Panels().offset;
    // child display panels (shown one at a time in the main panel)
    live::DataPanel& data = live::Panels().data;
    live::SignalGraphPanel& signalGraph = live::Panels().signalGraph;
    teach::TeachMeanPanel& teachMean = teach::Panels().teachMean;
    teach::TeachGraphPanel& teachGraph = teach::Panels().teachGraph;
    scope::ScopePanel& scope = scope::Panels().scope;
    // separate windows
    live::BigPanel& colBig = live::Panels().colBig;
    live::BigPanel& grpBig = live::Panels().grpBig;
    calib::PasswordPanel& password = calib::Panels().password;
};

Panels& P();

// Builds all panels in start-up order; false when one cannot be built.
bool LoadPanels();
// Discards every panel (shutdown, tests).
void DiscardPanels();
bool PanelsLoaded();

} // namespace app
