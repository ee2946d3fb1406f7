// The panel-settings file between runs: window, file locations, sensor ID,
// address history and connection settings.
#pragma once

#include "settings/panel_settings_file.h"

namespace app {

// The four remembered file paths.
settings::DirectorySettings& Paths();
// The sensor identification text (at most 99 characters).
std::string& PanelId();

// First start-up pass: ID, window, paths, address history, row attributes.
void LoadPanelSettings();
// Second start-up pass: connection settings into the connection page.
void GetConnectionSettingsFromFile();
// Writes the whole file (ACCEPT, closing the main panel).
void StorePanelSettings();

} // namespace app
