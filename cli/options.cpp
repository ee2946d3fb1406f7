#include "cli/options.h"

#include <cstdlib>

namespace cli {
namespace {

// The commands, each a bit, so that an option names the commands it serves.
enum Command : unsigned {
    kIdent = 1u << 0,
    kGet = 1u << 1,
    kSend = 1u << 2,
    kDiff = 1u << 3,
    kLive = 1u << 4,
    kRecord = 1u << 5,
    kHwinfo = 1u << 6,
    kCycleTime = 1u << 7,
    kScope = 1u << 8,
    kFind = 1u << 9,
    kAll = (1u << 10) - 1,
    kOnSensor = kAll & ~kFind, // the commands on given sensors
};

struct CommandName {
    const char* name;
    unsigned bit;
};
constexpr CommandName kCommands[] = {
    {"ident", kIdent}, {"get", kGet},       {"send", kSend},     {"diff", kDiff},
    {"live", kLive},   {"record", kRecord}, {"hwinfo", kHwinfo}, {"cycle-time", kCycleTime},
    {"scope", kScope}, {"find", kFind},
};

struct OptionSpec {
    const char* name; // without the leading "--"
    char shortName;   // 0: none
    bool takesValue;
    unsigned commands;
};
constexpr OptionSpec kOptions[] = {
    {"help", 'h', false, kAll},
    {"version", 0, false, kAll},
    {"json", 0, false, kAll},
    {"timeout", 0, true, kAll},
    {"tcp", 0, true, kAll},
    {"com", 0, true, kAll},
    {"device", 0, true, kAll},
    {"baud", 0, true, kAll},
    {"settings", 0, true, kOnSensor},
    {"targets", 0, true, kOnSensor},
    {"jobs", 0, true, kAll},
    {"force", 0, false, kFind},
    {"no-serial", 0, false, kFind},
    {"write-targets", 0, true, kFind},
    {"output", 'o', true, kGet | kRecord | kHwinfo | kScope},
    {"eeprom", 0, false, kGet | kSend | kDiff},
    {"keep-ram", 0, false, kGet | kDiff},
    {"as-program", 0, false, kGet},
    {"set", 0, true, kGet | kSend | kDiff | kHwinfo},
    {"verify", 0, false, kSend},
    {"allow-defaults", 0, false, kSend},
    {"csv", 0, false, kDiff},
    {"count", 'n', true, kLive | kRecord},
    {"interval", 0, true, kLive | kRecord},
    {"header", 0, false, kLive},
    {"lf", 0, false, kLive},
    {"iso-time", 0, false, kLive},
    {"panel-id", 0, true, kLive | kRecord},
    {"endless", 0, false, kRecord},
    {"triggered", 0, false, kRecord},
    {"progress", 0, true, kRecord},
    {"trigger-mode", 0, true, kScope},
    {"level", 0, true, kScope},
    {"pretrigger", 0, true, kScope},
    {"scan-rate", 0, true, kScope},
    {"signal", 0, true, kScope},
};

// The scope's trigger modes by name, in code order.
constexpr const char* kTriggerModes[] = {"single", "rising", "falling", "color0", "in0"};

unsigned CommandBit(const std::string& command) {
    for (const CommandName& c : kCommands) {
        if (command == c.name) {
            return c.bit;
        }
    }
    return 0;
}

const OptionSpec* FindLong(const std::string& name) {
    for (const OptionSpec& s : kOptions) {
        if (name == s.name) {
            return &s;
        }
    }
    return nullptr;
}

const OptionSpec* FindShort(char name) {
    for (const OptionSpec& s : kOptions) {
        if (s.shortName != 0 && s.shortName == name) {
            return &s;
        }
    }
    return nullptr;
}

bool ParseInt(const std::string& text, long low, long high, long* out) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || value < low || value > high) {
        return false;
    }
    *out = value;
    return true;
}

// Seconds as a decimal number with a point, whatever the locale.
bool ParseSeconds(const std::string& text, double low, double* out) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos ||
        text.find('.') != text.rfind('.')) {
        return false;
    }
    const size_t point = text.find('.');
    const std::string whole = text.substr(0, point);
    const std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
    if (whole.size() > 6 || (whole.empty() && fraction.empty())) {
        return false;
    }
    double value = whole.empty() ? 0 : std::strtod(whole.c_str(), nullptr);
    double scale = 0.1;
    for (char c : fraction) {
        value += (c - '0') * scale;
        scale /= 10;
    }
    if (value < low || value > 86400) {
        return false;
    }
    *out = value;
    return true;
}

bool ParseTriggerMode(const std::string& text, int* mode) {
    for (int m = 0; m < 5; ++m) {
        if (text == kTriggerModes[m] || text == std::to_string(m)) {
            *mode = m;
            return true;
        }
    }
    return false;
}

// Takes the option `s` (as the user wrote it: `shown`) with its value.
bool Apply(const OptionSpec& s, const std::string& shown, const std::string& v, Options* o,
           std::string* error) {
    const std::string name = s.name;
    long n = 0;
    const auto number = [&](long low, long high, long* out) {
        if (ParseInt(v, low, high, out)) {
            return true;
        }
        *error = "option " + shown + ": not a number from " + std::to_string(low) + " to " +
                 std::to_string(high) + ": " + v;
        return false;
    };
    const auto seconds = [&](double low, double* out) {
        if (ParseSeconds(v, low, out)) {
            return true;
        }
        *error = "option " + shown + ": not a number of seconds (" +
                 (low > 0 ? "more than 0" : "0 or more") + ", with a decimal point): " + v;
        return false;
    };
    if (name == "help") {
        o->help = true;
    } else if (name == "version") {
        o->version = true;
    } else if (name == "json") {
        o->json = true;
    } else if (name == "timeout") {
        return seconds(0.001, &o->timeout);
    } else if (name == "tcp") {
        o->tcp = v;
        o->tcpRanges.push_back(v);
    } else if (name == "com") {
        const bool ok = number(1, 9999, &n);
        o->com = static_cast<int>(n);
        o->comPorts.push_back(o->com);
        return ok;
    } else if (name == "device") {
        o->device = v;
        o->devices.push_back(v);
    } else if (name == "baud") {
        const bool ok = number(1, 10000000, &o->baud);
        o->bauds.push_back(o->baud);
        return ok;
    } else if (name == "force") {
        o->force = true;
    } else if (name == "no-serial") {
        o->noSerial = true;
    } else if (name == "write-targets") {
        o->writeTargets = v;
    } else if (name == "settings") {
        o->settings = v;
    } else if (name == "targets") {
        o->targets = v;
    } else if (name == "jobs") {
        o->jobsGiven = true;
        return number(1, 1024, &o->jobs);
    } else if (name == "output") {
        o->output = v;
    } else if (name == "eeprom") {
        o->eeprom = true;
    } else if (name == "keep-ram") {
        o->keepRam = true;
    } else if (name == "as-program") {
        o->asProgram = true;
    } else if (name == "set") {
        const bool ok = number(0, 1, &n);
        o->set = static_cast<int>(n);
        return ok;
    } else if (name == "verify") {
        o->verify = true;
    } else if (name == "allow-defaults") {
        o->allowDefaults = true;
    } else if (name == "csv") {
        o->csv = true;
    } else if (name == "count") {
        return number(1, 100000000, &o->count);
    } else if (name == "interval") {
        o->intervalGiven = true;
        return seconds(0, &o->interval);
    } else if (name == "header") {
        o->header = true;
    } else if (name == "lf") {
        o->lf = true;
    } else if (name == "iso-time") {
        o->isoTime = true;
    } else if (name == "panel-id") {
        o->panelId = v;
        o->panelIdGiven = true;
    } else if (name == "endless") {
        o->endless = true;
    } else if (name == "triggered") {
        o->triggered = true;
    } else if (name == "progress") {
        return seconds(0.1, &o->progress);
    } else if (name == "trigger-mode") {
        if (!ParseTriggerMode(v, &o->triggerMode)) {
            *error =
                "option --trigger-mode: one of 0..4, single, rising, falling, color0, in0: " + v;
            return false;
        }
    } else if (name == "level") {
        return number(0, 65535, &o->level);
    } else if (name == "pretrigger") {
        return number(0, 127, &o->pretrigger);
    } else if (name == "scan-rate") {
        return number(1, 65535, &o->scanRate);
    } else if (name == "signal") {
        return number(0, 1, &o->signal);
    }
    return true;
}

bool HasPlaceholder(const std::string& pattern) {
    return pattern.find("{serial}") != std::string::npos ||
           pattern.find("{address}") != std::string::npos;
}

// The combinations the options do not allow, after parsing.
bool Check(const Options& o, std::string* error) {
    const std::string& c = o.command;
    const int addressing =
        (o.tcp.empty() ? 0 : 1) + (o.com == 0 ? 0 : 1) + (o.device.empty() ? 0 : 1);
    const bool sensorGiven = addressing != 0 || !o.settings.empty() || !o.targets.empty();
    const auto fail = [error](const std::string& text) {
        *error = text;
        return false;
    };
    if (c == "find") {
        // Any number of ports and ranges; the ranges are read by the command.
        if (o.force && o.tcpRanges.empty()) {
            return fail("--force goes with --tcp (a range of more than 256 addresses)");
        }
        if (o.noSerial && (o.tcpRanges.empty() || !o.comPorts.empty() || !o.devices.empty())) {
            return fail("--no-serial searches --tcp only, no --com or --device");
        }
        return true;
    }
    if (addressing > 1 || (addressing == 1 && !o.targets.empty())) {
        return fail("give one of --tcp, --com, --device or --targets");
    }
    if (c == "send" && o.files.size() != 1) {
        return fail("send needs one parameter file (- for standard input)");
    }
    if (c == "diff" && (o.files.empty() || o.files.size() > 2)) {
        return fail("diff needs a reference file, and a second file or a sensor to compare");
    }
    if (c == "diff" && o.files.size() == 2 && sensorGiven) {
        return fail("diff compares two files or a file with sensors, not both");
    }
    if (o.files.size() == 2 && o.files[0] == kStdStream && o.files[1] == kStdStream) {
        return fail("standard input can be read only once");
    }
    if (!sensorGiven && !(c == "diff" && o.files.size() == 2)) {
        return fail("no sensor given: use --tcp, --com, --device, --settings or --targets");
    }
    if ((c == "record" || c == "hwinfo" || c == "scope") && o.output.empty()) {
        return fail(c + " needs -o FILE (- for standard output)");
    }
    if (c == "record") {
        const int modes = (o.triggered ? 1 : 0) + (o.endless ? 1 : 0) +
                          (!o.triggered && !o.endless && o.count != 0 ? 1 : 0);
        if (modes != 1 || (o.endless && o.count != 0)) {
            return fail("record needs one of --count N --interval S, --endless --interval S, "
                        "--triggered [--count N]");
        }
        if (!o.triggered && !o.intervalGiven) {
            return fail("a timed recording needs --interval S");
        }
        if (o.triggered && o.intervalGiven) {
            return fail("--interval does not apply to a triggered recording");
        }
    }
    if (o.keepRam && !o.eeprom) {
        return fail("--keep-ram goes with --eeprom");
    }
    if (o.json && (o.csv || o.lf || o.isoTime)) {
        return fail("--json prints JSON lines; --csv, --lf and --iso-time shape text");
    }
    if (o.json && (o.output == kStdStream || (c == "get" && o.output.empty()))) {
        return fail(c + " --json needs -o FILE: the results and the file would share "
                        "standard output");
    }
    if (c == "scope" && o.triggerMode < 0) {
        return fail("scope needs --trigger-mode");
    }
    if (o.jobsGiven && o.targets.empty()) {
        return fail("--jobs goes with --targets");
    }
    if (!o.targets.empty()) {
        if (o.output == kStdStream) {
            return fail("-o - with --targets: every sensor would write to standard output");
        }
        if ((c == "get" || c == "record" || c == "hwinfo" || c == "scope") &&
            !HasPlaceholder(o.output)) {
            return fail(c + " with --targets needs -o with {serial} or {address}, a file "
                            "for each sensor");
        }
        if (c == "live" && !o.json) {
            return fail("live with --targets needs --json (each line names its sensor)");
        }
    }
    return true;
}

} // namespace

bool KnownCommand(const std::string& command) {
    return CommandBit(command) != 0;
}

bool JsonRequested(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--") {
            break;
        }
        if (a == "--json") {
            return true;
        }
    }
    return false;
}

bool ParseOptions(int argc, char** argv, Options* o, std::string* error) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::vector<std::string> positional;
    std::vector<std::pair<const OptionSpec*, std::string>> given; // option and its spelling
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a.size() < 2 || a[0] != '-') {
            positional.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        const OptionSpec* spec = nullptr;
        std::string shown;
        std::string value;
        bool inlineValue = false;
        if (a[1] == '-') {
            const size_t equals = a.find('=');
            shown = a.substr(0, equals);
            spec = FindLong(shown.substr(2));
            if (equals != std::string::npos) {
                value = a.substr(equals + 1);
                inlineValue = true;
            }
        } else {
            shown = a.substr(0, 2);
            spec = FindShort(a[1]);
            if (a.size() > 2) {
                value = a.substr(2); // -n5, -ofile
                inlineValue = true;
            }
        }
        if (spec == nullptr) {
            *error = "unknown option " + shown;
            return false;
        }
        if (!spec->takesValue && inlineValue) {
            *error = "option " + shown + " takes no value";
            return false;
        }
        if (spec->takesValue && !inlineValue) {
            if (i + 1 >= args.size()) {
                *error = "option " + shown + " needs a value";
                return false;
            }
            value = args[++i];
        }
        if (!Apply(*spec, shown, value, o, error)) {
            return false;
        }
        given.emplace_back(spec, shown);
    }
    size_t next = 0;
    if (next < positional.size()) {
        o->command = positional[next++];
    }
    if (o->command == "help") {
        // chromik3-cli help [COMMAND]
        o->help = true;
        o->command = next < positional.size() ? positional[next++] : "";
        if (!o->command.empty() && !KnownCommand(o->command)) {
            *error = "unknown command " + o->command;
            o->command.clear();
            return false;
        }
        return true;
    }
    if (o->help || o->version) {
        return true;
    }
    if (o->command.empty()) {
        *error = "no command given";
        return false;
    }
    const unsigned bit = CommandBit(o->command);
    if (bit == 0) {
        *error = "unknown command " + o->command;
        return false;
    }
    for (const auto& [spec, shown] : given) {
        if ((spec->commands & bit) == 0) {
            *error = "option " + shown + " does not apply to " + o->command;
            return false;
        }
    }
    o->files.assign(positional.begin() + static_cast<std::ptrdiff_t>(next), positional.end());
    if (!o->files.empty() && bit != kSend && bit != kDiff) {
        *error = "unexpected argument " + o->files.front();
        return false;
    }
    return Check(*o, error);
}

std::string VersionText() {
    return "chromik3-cli 4.3.0 (CHROMIK3 Scope V4.3)\n";
}

} // namespace cli
