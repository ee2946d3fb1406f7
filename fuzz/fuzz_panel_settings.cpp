// Any bytes as the panel-settings file: every value taken from it stays in
// its range (paths and texts bounded, at most ten addresses, settings of the
// connection page within what its selectors can show).
#include "inifile/file_text.h"
#include "inifile/ini_store.h"
#include "settings/panel_settings_file.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ini::IniStorePtr store = ini::MakeIniStore();
    ini::Ini_ReadFromMemory(store.get(), reinterpret_cast<const char*>(data), size);
    (void)settings::IsPanelSettings(store.get());
    const settings::PanelSettingsContent c =
        settings::ReadPanelSettingsContent(store.get(), "/project");
    // Texts come out as valid UTF-8 (inifile/file_text.h); the panel ID has
    // at most 99 characters.
    if (filetext::CharCount(c.panelId) > settings::kMaxPanelIdChars ||
        !filetext::IsUtf8(c.panelId) || c.addressHistory.size() > 10) {
        std::abort();
    }
    for (const std::string& a : c.addressHistory) {
        if (a.size() > 4096) {
            std::abort();
        }
    }
    const settings::ConnectionSettings s = settings::ReadConnectionSettings(store.get());
    (void)s;
    return 0;
}
