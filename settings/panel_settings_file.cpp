#include "settings/panel_settings_file.h"

#include "inifile/file_text.h"

#include <algorithm>

namespace settings {
namespace {

constexpr const char* kGeneral = "GENERAL INFO";
constexpr const char* kPosition = "PANEL POSITION";
constexpr const char* kDirectories = "DIRECTORIES";
constexpr const char* kAddresses = "IP ADDRESSES";
constexpr const char* kCommunication = "COMMUNICATION SETTINGS";
constexpr int kMaxHistory = 10;

std::string GetString(ini::IniStore* store, const char* section, const char* tag, size_t maxChars,
                      const std::string& fallback) {
    std::string value;
    return ini::Ini_GetString(store, section, tag, &value, maxChars) > 0 ? value : fallback;
}

int GetInt(ini::IniStore* store, const char* section, const char* tag, int fallback) {
    int value = 0;
    return ini::Ini_GetInt(store, section, tag, &value) > 0 ? value : fallback;
}

} // namespace

DirectorySettings DefaultDirectories(const std::string& projectDir) {
    DirectorySettings d;
    d.parameterFile = projectDir + "/Parameter.ini";
    d.recorderFile = projectDir + "/RecordFile.dat";
    d.hardwareIniFile = projectDir + "/HardwareInitialFile.ini";
    d.tableAttributesFile = projectDir + "/TableAttributes.ini";
    return d;
}

bool IsPanelSettings(ini::IniStore* store) {
    std::string type;
    return ini::Ini_GetString(store, kGeneral, "FILE TYPE:", &type, 1023) > 0 &&
           type == kPanelSettingsFileType;
}

PanelSettingsContent ReadPanelSettingsContent(ini::IniStore* store, const std::string& projectDir) {
    PanelSettingsContent c;
    c.panelId = GetString(store, kGeneral, "PANEL ID:", kMaxPanelIdChars, "");
    int zoom = 0;
    if (ini::Ini_GetInt(store, kPosition, "MAINPANEL FULLSCREEN", &zoom) > 0) {
        WindowPlacement w;
        w.zoom = zoom;
        w.left = GetInt(store, kPosition, "MAINPANEL LEFT", w.left);
        w.top = GetInt(store, kPosition, "MAINPANEL TOP", w.top);
        w.width = GetInt(store, kPosition, "MAINPANEL WIDTH", w.width);
        w.height = GetInt(store, kPosition, "MAINPANEL HEIGHT", w.height);
        c.placement = w;
    }
    c.directories.parameterFile = GetString(store, kDirectories, "PARAMETER FILE", 259, projectDir);
    c.directories.recorderFile =
        GetString(store, kDirectories, "RECORDER FILE", 259, projectDir + "/RecordFile.dat");
    c.directories.hardwareIniFile =
        GetString(store, kDirectories, "HARDWARE INI FILE", 259, projectDir);
    c.directories.tableAttributesFile =
        GetString(store, kDirectories, "TABLE ATTRIBUTES FILE", 259, projectDir);
    int items = 0;
    if (ini::Ini_GetInt(store, kAddresses, "LIST ITEMS", &items) > 0) {
        items = std::min(items, kMaxHistory);
        for (int n = 1; n <= items; ++n) {
            std::string address;
            if (ini::Ini_GetString(store, kAddresses, "IP ADDR " + std::to_string(n), &address,
                                   1023) > 0) {
                c.addressHistory.push_back(address);
            }
        }
    }
    return c;
}

ConnectionSettings ReadConnectionSettings(ini::IniStore* store) {
    ConnectionSettings s;
    int v = 0;
    if (ini::Ini_GetInt(store, kCommunication, "COMPROTOCOL", &v) > 0) {
        s.comProtocol = static_cast<uint16_t>(v);
    }
    if (ini::Ini_GetInt(store, kCommunication, "COMPORT", &v) > 0) {
        s.comPort = static_cast<uint16_t>(v);
    }
    if (ini::Ini_GetInt(store, kCommunication, "BAUDRATE", &v) > 0) {
        s.baudrateIndex = static_cast<uint16_t>(v);
    }
    s.ipAddress = GetString(store, kCommunication, "IP ADRESS", 255, "");
    s.portNumber = GetString(store, kCommunication, "PORT NUMBER", 31, "10001");
    return s;
}

void PutPanelSettings(ini::IniStore* store, const std::string& panelId,
                      const WindowPlacement& placement, const DirectorySettings& directories,
                      const std::vector<std::string>& addressHistory,
                      const ConnectionSettings& connection) {
    ini::Ini_PutString(store, kGeneral, "FILE TYPE:", kPanelSettingsFileType);
    ini::Ini_PutString(store, kGeneral, "SCOPE VERSION:", kScopeVersion);
    ini::Ini_PutString(store, kGeneral,
                       "PANEL ID:", std::string(filetext::CutToChars(panelId, kMaxPanelIdChars)));
    ini::Ini_PutInt(store, kPosition, "MAINPANEL FULLSCREEN", placement.zoom);
    ini::Ini_PutInt(store, kPosition, "MAINPANEL LEFT", placement.left);
    ini::Ini_PutInt(store, kPosition, "MAINPANEL TOP", placement.top);
    ini::Ini_PutInt(store, kPosition, "MAINPANEL WIDTH", placement.width);
    ini::Ini_PutInt(store, kPosition, "MAINPANEL HEIGHT", placement.height);
    ini::Ini_PutString(store, kDirectories, "PARAMETER FILE", directories.parameterFile);
    ini::Ini_PutString(store, kDirectories, "RECORDER FILE", directories.recorderFile);
    ini::Ini_PutString(store, kDirectories, "HARDWARE INI FILE", directories.hardwareIniFile);
    ini::Ini_PutString(store, kDirectories, "TABLE ATTRIBUTES FILE",
                       directories.tableAttributesFile);
    const int items = static_cast<int>(std::min<size_t>(addressHistory.size(), kMaxHistory));
    ini::Ini_PutInt(store, kAddresses, "LIST ITEMS", items);
    for (int n = 1; n <= items; ++n) {
        ini::Ini_PutString(store, kAddresses, "IP ADDR " + std::to_string(n),
                           addressHistory[static_cast<size_t>(n - 1)]);
    }
    ini::Ini_PutInt(store, kCommunication, "COMPROTOCOL", connection.comProtocol);
    ini::Ini_PutInt(store, kCommunication, "COMPORT", connection.comPort);
    ini::Ini_PutInt(store, kCommunication, "BAUDRATE", connection.baudrateIndex);
    ini::Ini_PutString(store, kCommunication, "IP ADRESS", connection.ipAddress);
    ini::Ini_PutString(store, kCommunication, "PORT NUMBER", connection.portNumber);
}

} // namespace settings
