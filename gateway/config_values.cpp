#include "gateway/config_values.h"

#include "inifile/ini_store.h"
#include "link/com232.h"
#include "sensor/target_file.h"
#include "teach/attributes_file.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <set>
#include <unistd.h>

namespace gateway {
namespace {

bool Number(const std::string& text, double* value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(v)) {
        return false;
    }
    *value = v;
    return true;
}

bool Whole(const std::string& text, long low, long high, long* value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
        text.size() > 9) {
        return false;
    }
    const long v = std::stol(text);
    if (v < low || v > high) {
        return false;
    }
    *value = v;
    return true;
}

std::string SetRate(double* rate, const std::string& value) {
    double v = 0;
    if (!Number(value, &v) || v < 0 || v > 100000) {
        return "not a rate in frames a second (0: every frame): " + value;
    }
    *rate = v;
    return {};
}

std::string Readable(const std::string& what, const std::string& path) {
    if (::access(path.c_str(), R_OK) != 0) {
        return what + " " + path + " cannot be read";
    }
    return {};
}

// The 31 row texts of a table-attributes file, read as the program reads it.
std::string ReadRowTexts(const std::string& path, std::vector<std::string>* texts) {
    ini::IniStorePtr store = ini::MakeIniStore();
    if (!store || ini::Ini_ReadFromFile(store.get(), path) < 0) {
        return "the table-attributes file " + path + " cannot be read";
    }
    if (teach::FileTypeOf(store.get()) != teach::kTableAttributesFileType) {
        return path + " is not a table-attributes file";
    }
    teach::RowAttributes rows;
    teach::GetRowAttributes(store.get(), &rows, nullptr);
    texts->assign(std::begin(rows.rowText), std::end(rows.rowText));
    return {};
}

} // namespace

bool TopicLevelOk(const std::string& level) {
    if (level.empty() || level.size() > 64) {
        return false;
    }
    for (const char c : level) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
        if (!ok) {
            return false;
        }
    }
    return true;
}

std::string SetBrokerAddress(BrokerConfig* b, const std::string& value) {
    std::string error;
    unsigned port = b->port;
    if (!sensor::SplitHostPort(value, &b->host, &port, &error)) {
        return "not HOST[:PORT] (" + error + ")";
    }
    b->port = port;
    return {};
}

std::string SetBrokerKey(BrokerConfig* b, const std::string& key, const std::string& value) {
    long n = 0;
    if (key == "host") {
        if (value.empty() || value.find_first_of(" \t/") != std::string::npos) {
            return "not a host name: " + value;
        }
        b->host = value;
    } else if (key == "port") {
        if (!Whole(value, 1, 65535, &n)) {
            return "not a port number: " + value;
        }
        b->port = static_cast<unsigned>(n);
    } else if (key == "client-id") {
        if (!TopicLevelOk(value)) {
            return "a client id is letters, digits, \".\", \"_\" and \"-\": " + value;
        }
        b->clientId = value;
    } else if (key == "username") {
        b->username = value;
    } else if (key == "password-file") {
        b->passwordFile = value;
    } else if (key == "ca-file") {
        b->caFile = value;
    } else if (key == "cert-file") {
        b->certFile = value;
    } else if (key == "key-file") {
        b->keyFile = value;
    } else if (key == "keepalive") {
        if (!Whole(value, 5, 3600, &n)) {
            return "not a keep-alive from 5 to 3600 seconds: " + value;
        }
        b->keepalive = static_cast<int>(n);
    } else if (key == "password") {
        return "a password is read from a file (password-file), never given here";
    } else {
        return "unknown key " + key + " in [broker]";
    }
    return {};
}

std::string SetGatewayKey(Config* c, SensorDefaults* d, const std::string& key,
                          const std::string& value) {
    double v = 0;
    long n = 0;
    if (key == "prefix") {
        bool ok = !value.empty() && value.size() < 200;
        size_t start = 0;
        while (ok && start <= value.size()) {
            const size_t slash = value.find('/', start);
            const size_t end = slash == std::string::npos ? value.size() : slash;
            ok = TopicLevelOk(value.substr(start, end - start));
            start = end + 1;
        }
        if (!ok) {
            return "a topic prefix is levels of letters, digits, \".\", \"_\" and \"-\" "
                   "between single \"/\" (chromik3/site/line3): " +
                   value;
        }
        c->prefix = value;
    } else if (key == "allow-commands") {
        if (value != "yes" && value != "no") {
            return "allow-commands is yes or no: " + value;
        }
        c->allowCommands = value == "yes";
    } else if (key == "rate") {
        return SetRate(&d->rate, value);
    } else if (key == "table-attributes") {
        d->tableAttributes = value;
    } else if (key == "answer-timeout") {
        if (!Number(value, &v) || v < 0.2 || v > 2.5) {
            return "not an answer time-out from 0.2 to 2.5 seconds: " + value;
        }
        c->answerTimeout = v;
    } else if (key == "queue") {
        if (!Whole(value, 1, 10000000, &n)) {
            return "not a number of frames from 1 to 10000000: " + value;
        }
        c->queueFrames = static_cast<size_t>(n);
    } else if (key == "stats-interval") {
        if (!Number(value, &v) || v < 1 || v > 86400) {
            return "not an interval from 1 to 86400 seconds: " + value;
        }
        c->statsInterval = v;
    } else if (key == "reconnect-max") {
        if (!Number(value, &v) || v < 0.1 || v > 3600) {
            return "not a wait from 0.1 to 3600 seconds: " + value;
        }
        c->reconnectMax = v;
    } else {
        return "unknown key " + key + " in [gateway]";
    }
    return {};
}

std::string SetSensorKey(SensorEntry* s, const std::string& key, const std::string& value) {
    if (key == "address") {
        std::vector<std::string> args;
        std::string error;
        if (!sensor::TargetLineOptions(value, &args, &error) || args.empty() ||
            !sensor::AddressOfTarget(args, &s->sensor.address, &error)) {
            return error.empty() ? "no sensor address" : error;
        }
        s->addressGiven = true;
    } else if (key == "name") {
        if (!TopicLevelOk(value)) {
            return "a sensor's name is its topic level: letters, digits, \".\", \"_\" and \"-\": " +
                   value;
        }
        s->sensor.name = value;
    } else if (key == "rate") {
        s->rateGiven = true;
        return SetRate(&s->sensor.rate, value);
    } else if (key == "table-attributes") {
        s->sensor.tableAttributes = value;
    } else if (key == "baud") {
        if (!Whole(value, 1, 10000000, &s->baud)) {
            return "not a baud rate: " + value;
        }
        s->baudGiven = true;
    } else {
        return "unknown key " + key + " in [sensor]";
    }
    return {};
}

void Complete(Config* c, const SensorDefaults& d, std::vector<SensorEntry>& entries,
              std::string* problems) {
    const auto fault = [problems](const std::string& where, const std::string& text) {
        *problems += (where.empty() ? "" : where + ": ") + text + "\n";
    };
    BrokerConfig& b = c->broker;
    if (!b.passwordFile.empty()) {
        std::ifstream in(b.passwordFile, std::ios::binary);
        if (!in || !std::getline(in, b.password)) {
            fault("", "the password file " + b.passwordFile + " cannot be read");
        }
        while (!b.password.empty() && (b.password.back() == '\r' || b.password.back() == '\n')) {
            b.password.pop_back();
        }
    }
    if (!b.passwordFile.empty() && b.username.empty()) {
        fault("", "a password file without a username");
    }
    if (b.certFile.empty() != b.keyFile.empty()) {
        fault("", "a client certificate needs its key (cert-file and key-file)");
    }
    if (!b.certFile.empty() && b.caFile.empty()) {
        fault("", "a client certificate needs TLS: ca-file");
    }
    for (const auto& [what, path] :
         {std::pair{"the CA file", b.caFile}, std::pair{"the certificate file", b.certFile},
          std::pair{"the key file", b.keyFile}}) {
        if (!path.empty()) {
            const std::string e = Readable(what, path);
            if (!e.empty()) {
                fault("", e);
            }
        }
    }
    if (entries.empty() && problems->empty()) { // a targets file with faults named them
        fault("", "no sensor: give --targets FILE or [sensor] sections");
    }
    std::map<std::string, std::vector<std::string>> texts; // per table-attributes file
    std::vector<std::set<std::string>> identities;
    std::vector<int> identityLines;
    std::set<std::string> names;
    for (size_t i = 0; i < entries.size(); ++i) {
        SensorEntry& e = entries[i];
        SensorConfig& s = e.sensor;
        const std::string where = s.file + ":" + std::to_string(s.line);
        if (!e.addressGiven) {
            fault(where, "a [sensor] without an address");
            continue;
        }
        s.rate = e.rateGiven ? s.rate : d.rate;
        if (s.tableAttributes.empty()) {
            s.tableAttributes = d.tableAttributes;
        }
        if (e.baudGiven) {
            bool found = false;
            for (unsigned index = 0; index < 8 && !found; ++index) {
                if (com232::BaudrateOfIndex(index) == e.baud) {
                    s.address.baudrateIndex = index;
                    found = true;
                }
            }
            if (!found) {
                fault(where, "the sensor has no rate " + std::to_string(e.baud));
            }
        }
        if (!s.name.empty() && !names.insert(s.name).second) {
            fault(where, "the name " + s.name + " is given to another sensor too");
        }
        std::vector<std::string> args =
            s.address.serial
                ? (s.address.device.empty()
                       ? std::vector<std::string>{"--com", std::to_string(s.address.com)}
                       : std::vector<std::string>{"--device", s.address.device})
                : std::vector<std::string>{"--tcp", s.address.name};
        std::set<std::string> identity = sensor::TargetIdentity(args);
        for (size_t j = 0; j < identities.size(); ++j) {
            for (const std::string& id : identity) {
                if (identities[j].count(id) != 0) {
                    fault(where, s.address.name + " is the sensor of line " +
                                     std::to_string(identityLines[j]) + " again");
                    break;
                }
            }
        }
        identities.push_back(std::move(identity));
        identityLines.push_back(s.line);
        if (!s.tableAttributes.empty()) {
            if (texts.count(s.tableAttributes) == 0) {
                std::vector<std::string> rows;
                const std::string e2 = ReadRowTexts(s.tableAttributes, &rows);
                if (!e2.empty()) {
                    fault(where, e2);
                }
                texts[s.tableAttributes] = rows;
            }
            s.rowTexts = texts[s.tableAttributes];
        }
        c->sensors.push_back(s);
    }
}

} // namespace gateway
