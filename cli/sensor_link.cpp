#include "cli/sensor_link.h"

#include "inifile/ini_store.h"
#include "link/com232.h"
#include "link/port_text.h"
#include "platform/com_port_map.h"
#include "settings/panel_settings_file.h"

#include <algorithm>
#include <cctype>

namespace cli {
namespace {

bool FromSettingsFile(const std::string& path, Address* a, std::string* error) {
    ini::IniStorePtr store = ini::MakeIniStore();
    if (!store || ini::Ini_ReadFromFile(store.get(), path) < 0) {
        *error = "cannot read the settings file " + path;
        return false;
    }
    if (!settings::IsPanelSettings(store.get())) {
        *error = path + " is not a panel-settings file";
        return false;
    }
    const settings::ConnectionSettings c = settings::ReadConnectionSettings(store.get());
    a->serial = c.comProtocol == com232::kProtocolRs232;
    a->com = c.comPort;
    a->baudrateIndex = c.baudrateIndex;
    a->host = c.ipAddress;
    a->port = conn::PortNumberOfText(c.portNumber);
    a->panelId = settings::ReadPanelSettingsContent(store.get(), "").panelId;
    return true;
}

} // namespace

int AddressFromOptions(const Options& o, Address* a, std::string* error) {
    if (!o.settings.empty() && !FromSettingsFile(o.settings, a, error)) {
        return kExitFile;
    }
    if (!o.tcp.empty()) {
        a->serial = false;
        if (!sensor::SplitHostPort(o.tcp, &a->host, &a->port, error)) {
            *error = "--tcp: " + *error;
            return kExitUsage;
        }
    } else if (o.com != 0) {
        a->serial = true;
        a->com = o.com;
    } else if (!o.device.empty()) {
        a->serial = true;
        a->device = o.device;
        a->com = std::max(0, platform::DeviceToComPort(platform::CanonicalDevicePath(o.device)));
    }
    if (o.baud != 0 && !sensor::BaudrateIndexOf(o.baud, &a->baudrateIndex)) {
        *error = "--baud: the sensor has no rate " + std::to_string(o.baud);
        return kExitUsage;
    }
    if (o.panelIdGiven) {
        a->panelId = o.panelId;
    }
    a->name = sensor::AddressName(*a);
    return kExitDone;
}

std::string ExpandOutputName(const std::string& pattern, const std::string& address,
                             unsigned serial) {
    std::string safe;
    for (char c : address) {
        const bool keep = std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-';
        safe += keep ? c : '_';
    }
    const size_t start = safe.find_first_not_of('_');
    safe = start == std::string::npos ? "sensor" : safe.substr(start);
    std::string out = pattern;
    const auto replace = [&out](const std::string& key, const std::string& with) {
        for (size_t at = out.find(key); at != std::string::npos;
             at = out.find(key, at + with.size())) {
            out.replace(at, key.size(), with);
        }
    };
    replace("{serial}", std::to_string(serial));
    replace("{address}", safe);
    return out;
}

Connection Connect(com232::SensorLink& link, const Address& a) {
    const sensor::Connection s = sensor::Connect(link, a);
    Connection c;
    c.status = s.result == sensor::ConnectResult::Connected ? kExitDone
               : s.result == sensor::ConnectResult::Refused ? kExitRefused
                                                            : kExitLink;
    c.message = s.message;
    c.identity = s.identity;
    return c;
}

} // namespace cli
