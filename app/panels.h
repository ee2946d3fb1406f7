// Every panel of the program with its controls. Panels are built once at
// start-up (LoadPanels) and discarded at exit; behaviour code reaches the
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

struct Panels {
    MainPanel main;
    // pages of the main tab control
    conn::ConnectPage connect;
    params::ParameterPage para;
    params::GroupHoldPage groupHold;
    teach::TeachPage teachPage;
    record::RecorderPage recorder;
    calib::CalibrationPage calibration;
    teach::AttributesPage attributes;
    scope::ScopePage scopePage;
    calib::OffsetPage offset;
    // child display panels (shown one at a time in the main panel)
    live::DataPanel data;
    live::SignalGraphPanel signalGraph;
    teach::TeachMeanPanel teachMean;
    teach::TeachGraphPanel teachGraph;
    scope::ScopePanel scope;
    // separate windows
    live::BigPanel colBig;
    live::BigPanel grpBig;
    calib::PasswordPanel password;
};

Panels& P();

// Builds all panels in start-up order; false when one cannot be built.
bool LoadPanels();
// Discards every panel (shutdown, tests).
void DiscardPanels();
bool PanelsLoaded();

} // namespace app
