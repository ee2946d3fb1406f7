// Content of the panel-settings file "PanelSettings.cfg", read from and
// written to an INI store, free of any panel: the program keeps its
// settings in it, and the command-line tool takes the connection from it.
#pragma once

#include "platform/shell_services.h"

#include "inifile/ini_store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace settings {

inline constexpr const char* kPanelSettingsFileType = "Panel Settings";
inline constexpr const char* kScopeVersion = "CHROMIK3 Scope V4.3";
// Characters (Unicode code points, filetext::CharCount) of the panel ID: the
// field takes, the writer writes and the reader keeps at most this many.
using shell::kMaxPanelIdChars;
constexpr int kWindowZoomNormal = 0;
constexpr int kWindowZoomMaximised = 2;

struct WindowPlacement {
    int zoom = kWindowZoomNormal;
    int left = 10;
    int top = 40;
    int width = 790;
    int height = 548;
};

using DirectorySettings = shell::Directories;

struct ConnectionSettings {
    uint16_t comProtocol = 0;
    uint16_t comPort = 1;
    uint16_t baudrateIndex = 4;
    std::string ipAddress;
    std::string portNumber = "10001";
};

// What the first start-up pass takes from the file.
struct PanelSettingsContent {
    std::string panelId;                      // at most 99 characters
    std::optional<WindowPlacement> placement; // only when "MAINPANEL FULLSCREEN" is present
    DirectorySettings directories;
    std::vector<std::string> addressHistory; // newest first, at most 10
};

// Start values of the four paths: the project directory and the file names.
DirectorySettings DefaultDirectories(const std::string& projectDir);

// True when the store holds a panel-settings file ("FILE TYPE:" exactly right).
bool IsPanelSettings(ini::IniStore* store);

// Reads the first-pass content of a panel-settings store; missing keys get
// the defaults of a valid file.
PanelSettingsContent ReadPanelSettingsContent(ini::IniStore* store, const std::string& projectDir);
// Reads the connection settings; missing keys keep the defaults.
ConnectionSettings ReadConnectionSettings(ini::IniStore* store);

// Puts the whole file content (without the row attributes) in file order.
void PutPanelSettings(ini::IniStore* store, const std::string& panelId,
                      const WindowPlacement& placement, const DirectorySettings& directories,
                      const std::vector<std::string>& addressHistory,
                      const ConnectionSettings& connection);

} // namespace settings
