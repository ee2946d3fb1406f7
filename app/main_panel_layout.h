#pragma once

#include "app/main_panel_ui.h"

namespace app {

class MainWindow;

constexpr int kMainPanelWidth = 790;
constexpr int kMainPanelHeight = 548;
constexpr int kBannerHeight = 63;
constexpr int kTabColumnWidth = 300;

// Builds the main panel with its (still empty) tab pages and child area.
MainWindow* BuildMainPanel(MainPanel* ui);

} // namespace app
