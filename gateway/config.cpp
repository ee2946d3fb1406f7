#include "gateway/config.h"

#include "gateway/config_values.h"
#include "inifile/file_text.h"
#include "sensor/target_file.h"

#include <filesystem>
#include <fstream>
#include <set>

namespace gateway {
namespace {

// A value in double quotes, as the program's files write texts, loses its
// quotes and its escapes (\" \\ \t).
bool Unquote(std::string* value) {
    if (value->size() < 2 || value->front() != '"') {
        return value->empty() || value->front() != '"';
    }
    if (value->back() != '"') {
        return false;
    }
    std::string out;
    for (size_t i = 1; i + 1 < value->size(); ++i) {
        char c = (*value)[i];
        if (c == '\\' && i + 2 < value->size()) {
            c = (*value)[++i];
            c = c == 't' ? '\t' : c;
        }
        out += c;
    }
    *value = out;
    return true;
}

// The sensors of a targets file, as [sensor] sections with an address.
void AddTargets(const std::string& path, std::vector<SensorEntry>* entries, std::string* problems) {
    std::vector<sensor::TargetLine> lines;
    std::vector<std::string> faults;
    if (!sensor::ReadTargetsFile(path, &lines, &faults)) {
        for (const std::string& f : faults) {
            *problems += f + "\n";
        }
        return;
    }
    for (const sensor::TargetLine& t : lines) {
        SensorEntry e;
        e.sensor.file = path;
        e.sensor.line = t.number;
        std::string error;
        if (!sensor::AddressOfTarget(t.addressArgs, &e.sensor.address, &error)) {
            *problems += path + ":" + std::to_string(t.number) + ": " + error + "\n";
            continue;
        }
        e.addressGiven = true;
        entries->push_back(e);
    }
}

// The keys whose value is a file; a relative one is relative to the
// configuration file (a service runs in /).
const std::set<std::string> kPathKeys = {"targets",   "password-file", "ca-file",
                                         "cert-file", "key-file",      "table-attributes"};

bool RelativeTo(const std::string& configFile, std::string* value) {
    std::error_code error;
    const std::filesystem::path dir = std::filesystem::absolute(configFile, error).parent_path();
    if (error) {
        return false;
    }
    *value = (dir / *value).lexically_normal().string();
    return true;
}

struct Reading {
    Config* config;
    SensorDefaults defaults;
    std::vector<SensorEntry> entries;
    std::string targets;
};

bool ReadFile(const std::string& path, Reading* r, std::string* problems) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *problems += "cannot read the configuration file " + path + "\n";
        return false;
    }
    std::string section;
    std::set<std::string> keys; // of the section being read
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) {
            line.erase(0, 3);
        }
        const std::string where = path + ":" + std::to_string(number) + ": ";
        const std::string text = filetext::Trimmed(line);
        if (text.empty() || text[0] == ';' || text[0] == '#') {
            continue;
        }
        if (text[0] == '[') {
            section = text.back() == ']' ? filetext::Trimmed(text.substr(1, text.size() - 2)) : "";
            if (section != "broker" && section != "gateway" && section != "sensor") {
                *problems += where +
                             "not a section of the gateway ([broker], [gateway], "
                             "[sensor]): " +
                             text + "\n";
                section = "?";
            }
            keys.clear();
            if (section == "sensor") {
                SensorEntry e;
                e.sensor.file = path;
                e.sensor.line = number;
                r->entries.push_back(e);
            }
            continue;
        }
        const size_t eq = text.find('=');
        if (eq == std::string::npos) {
            *problems += where + "not KEY = VALUE: " + text + "\n";
            continue;
        }
        const std::string key = filetext::Trimmed(text.substr(0, eq));
        std::string value = filetext::Trimmed(text.substr(eq + 1));
        std::string error;
        if (section.empty()) {
            error = "a key before the first section";
        } else if (section == "?") {
            continue; // the section was reported
        } else if (!keys.insert(key).second) {
            error = key + " is given twice in this section (which value is meant?)";
        } else if (!Unquote(&value)) {
            error = "a value with an opening quote and no closing one";
        } else if (kPathKeys.count(key) != 0 && !value.empty() && value[0] != '/' &&
                   !RelativeTo(path, &value)) {
            error = "the path cannot be made absolute: " + value;
        } else if (section == "broker") {
            error = SetBrokerKey(&r->config->broker, key, value);
        } else if (section == "gateway" && key == "targets") {
            r->targets = value;
        } else if (section == "gateway") {
            error = SetGatewayKey(r->config, &r->defaults, key, value);
        } else {
            error = SetSensorKey(&r->entries.back(), key, value);
        }
        if (!error.empty()) {
            *problems += where + error + "\n";
        }
    }
    return true;
}

// --opt VALUE or --opt=VALUE.
bool Value(int argc, char** argv, int* i, const std::string& arg, std::string* value) {
    const size_t eq = arg.find('=');
    if (eq != std::string::npos) {
        *value = arg.substr(eq + 1);
        return true;
    }
    if (*i + 1 >= argc) {
        return false;
    }
    *value = argv[++*i];
    return true;
}

} // namespace

bool ReadConfigFile(const std::string& path, Config* config, std::string* problems) {
    Reading r{config, {}, {}, {}};
    const size_t before = problems->size();
    if (ReadFile(path, &r, problems) && !r.targets.empty()) {
        AddTargets(r.targets, &r.entries, problems);
    }
    Complete(config, r.defaults, r.entries, problems);
    return problems->size() == before;
}

bool ParseCommandLine(int argc, char** argv, CommandLine* cl, std::string* problems) {
    Reading r{&cl->config, {}, {}, {}};
    std::string configFile;
    std::vector<std::pair<std::string, std::string>> options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const std::string name = arg.substr(0, arg.find('='));
        if (name == "--help" || name == "-h") {
            cl->help = true;
        } else if (name == "--version") {
            cl->version = true;
        } else if (name == "--check") {
            cl->check = true;
        } else if (name == "--allow-commands") {
            options.emplace_back("allow-commands", "yes");
        } else if (name == "--password") {
            *problems += "--password: a password is never given on the command line (the "
                         "process list shows it): --password-file FILE\n";
        } else if (name.rfind("--", 0) != 0) {
            *problems += "not an option: " + arg + " (see --help)\n";
        } else {
            std::string value;
            if (!Value(argc, argv, &i, arg, &value)) {
                *problems += name + " needs a value\n";
            } else if (name == "--config") {
                configFile = value;
            } else {
                options.emplace_back(name.substr(2), value);
            }
        }
    }
    if (cl->help || cl->version) {
        return true;
    }
    if (!configFile.empty()) {
        ReadFile(configFile, &r, problems);
    }
    static const std::set<std::string> kBroker = {
        "client-id", "username", "password-file", "ca-file", "cert-file", "key-file", "keepalive"};
    for (const auto& [key, value] : options) {
        std::string error;
        if (key == "broker") {
            error = SetBrokerAddress(&cl->config.broker, value);
        } else if (kBroker.count(key) != 0) {
            error = SetBrokerKey(&cl->config.broker, key, value);
        } else if (key == "targets") {
            r.targets = value;
        } else {
            error = SetGatewayKey(&cl->config, &r.defaults, key, value);
            if (error.rfind("unknown key", 0) == 0) {
                error = "unknown option (see --help)";
            }
        }
        if (!error.empty()) {
            *problems += "--" + key + ": " + error + "\n";
        }
    }
    if (!r.targets.empty()) {
        AddTargets(r.targets, &r.entries, problems);
    }
    Complete(&cl->config, r.defaults, r.entries, problems);
    return problems->empty();
}

} // namespace gateway
