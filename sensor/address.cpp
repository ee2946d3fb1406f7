#include "sensor/address.h"

#include "inifile/file_text.h"
#include "link/com232.h"
#include "link/port_text.h"
#include "platform/com_port_map.h"

#include <algorithm>

namespace sensor {

bool SplitHostPort(const std::string& text, std::string* host, unsigned* port, std::string* error) {
    size_t colon = text.rfind(':');
    if (!text.empty() && text[0] == '[') {
        const size_t close = text.find(']');
        if (close == std::string::npos) {
            *error = "no closing ] in " + text;
            return false;
        }
        *host = text.substr(1, close - 1);
        colon = close + 1 < text.size() && text[close + 1] == ':' ? close + 1 : std::string::npos;
        if (colon == std::string::npos && close + 1 != text.size()) {
            *error = "not HOST:PORT: " + text;
            return false;
        }
    } else if (colon != std::string::npos && text.find(':') != colon) {
        *host = text; // an IPv6 address without a port
        colon = std::string::npos;
    } else {
        *host = text.substr(0, colon);
    }
    if (host->empty()) {
        *error = "no host name in " + text;
        return false;
    }
    if (colon != std::string::npos) {
        const std::string digits = text.substr(colon + 1);
        if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos ||
            digits.size() > 5 || std::stoul(digits) == 0 || std::stoul(digits) > 65535) {
            *error = "not a port number: " + digits;
            return false;
        }
        *port = conn::PortNumberOfText(digits);
    }
    return true;
}

bool BaudrateIndexOf(long baud, unsigned* index) {
    for (unsigned i = 0; i < 8; ++i) {
        if (com232::BaudrateOfIndex(i) == baud) {
            *index = i;
            return true;
        }
    }
    return false;
}

bool TargetLineOptions(const std::string& line, std::vector<std::string>* args,
                       std::string* error) {
    args->clear();
    std::string target = filetext::Trimmed(line.substr(0, line.find('#')));
    if (target.empty()) {
        return true;
    }
    if (target.find_first_of(" \t") != std::string::npos) {
        *error = "more than one sensor on the line (one a line): " + target;
        return false;
    }
    // A serial port may carry its baud rate: com:3@9600, /dev/ttyUSB0@19200.
    const size_t at = target.rfind('@');
    const bool serial = target.rfind("com:", 0) == 0 || target[0] == '/';
    std::vector<std::string> rate;
    if (at != std::string::npos && serial) {
        const std::string digits = target.substr(at + 1);
        unsigned index = 0;
        if (digits.empty() || digits.size() > 7 ||
            digits.find_first_not_of("0123456789") != std::string::npos ||
            !BaudrateIndexOf(std::stol(digits), &index)) {
            *error = "not a baud rate of the sensor (9600 .. 921600): " + target;
            return false;
        }
        rate = {"--baud", digits};
        target = target.substr(0, at);
    }
    if (target.rfind("com:", 0) == 0) {
        const std::string number = target.substr(4);
        if (number.empty() || number.size() > 4 ||
            number.find_first_not_of("0123456789") != std::string::npos || std::stoi(number) < 1) {
            *error = "not a COM number from 1 to 9999: " + target;
            return false;
        }
        *args = {"--com", number};
    } else if (target[0] == '/') {
        *args = {"--device", target};
    } else {
        std::string host;
        unsigned port = 0;
        if (!SplitHostPort(target, &host, &port, error)) {
            *error = "not HOST:PORT, com:N or a device path (" + *error + ")";
            return false;
        }
        *args = {"--tcp", target};
    }
    args->insert(args->end(), rate.begin(), rate.end());
    return true;
}

bool AddressOfTarget(const std::vector<std::string>& args, Address* a, std::string* error) {
    const bool withRate = args.size() == 4 && args[2] == "--baud";
    if (args.size() != 2 && !withRate) {
        *error = "no sensor named";
        return false;
    }
    if (withRate && !BaudrateIndexOf(std::stol(args[3]), &a->baudrateIndex)) {
        *error = "not a baud rate of the sensor (9600 .. 921600): " + args[3];
        return false;
    }
    if (args[0] == "--tcp") {
        a->serial = false;
        if (!SplitHostPort(args[1], &a->host, &a->port, error)) {
            return false;
        }
    } else if (args[0] == "--com") {
        a->serial = true;
        a->com = std::stoi(args[1]);
        a->device.clear();
    } else {
        a->serial = true;
        a->device = args[1];
        a->com = std::max(0, platform::DeviceToComPort(platform::CanonicalDevicePath(args[1])));
    }
    a->name = AddressName(*a);
    return true;
}

std::string AddressName(const Address& a) {
    if (a.serial) {
        return a.device.empty() ? "com:" + std::to_string(a.com) : a.device;
    }
    return (a.host.find(':') != std::string::npos ? "[" + a.host + "]" : a.host) + ":" +
           std::to_string(a.port);
}

Connection Connect(com232::SensorLink& link, const Address& a) {
    Connection c;
    link.ComProtocol = a.serial ? com232::kProtocolRs232 : com232::kProtocolTcp;
    link.ComPort = static_cast<uint16_t>(a.com);
    link.BaudrateIndex = static_cast<uint16_t>(a.baudrateIndex);
    link.ServerAddress = a.host;
    link.ServerPort = a.port;
    if (a.serial) {
        link.InitRS232(a.device);
    } else {
        link.InitTCP_IP();
    }
    if (link.LinkResult < 0) {
        // The program's own words, then the transport's reason.
        c.result = ConnectResult::LinkFailed;
        c.message = "Could not establish connection! " + link.StatusText;
        return c;
    }
    c.identity = com232::IdentifySensor(link);
    if (!c.identity.answered) {
        c.result = ConnectResult::LinkFailed;
        c.message = link.StatusText;
    } else if (!c.identity.versionMatches) {
        c.result = ConnectResult::Refused;
        c.message = com232::FirmwareMismatchText(c.identity);
    } else {
        link.LinkOk = 1; // connected, as after the program's connection test
    }
    return c;
}

} // namespace sensor
