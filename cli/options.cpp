#include "cli/options.h"

#include <cstdlib>

namespace cli {
namespace {

constexpr const char* kCommands[] = {"ident",  "get",    "send",       "live",
                                     "record", "hwinfo", "cycle-time", "scope"};

// The scope's trigger modes by name, in code order.
constexpr const char* kTriggerModes[] = {"single", "rising", "falling", "color0", "in0"};

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

bool ParseSeconds(const std::string& text, double* out) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(value >= 0) || value > 86400) {
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

} // namespace

bool KnownCommand(const std::string& command) {
    for (const char* c : kCommands) {
        if (command == c) {
            return true;
        }
    }
    return false;
}

bool ParseOptions(int argc, char** argv, Options* o, std::string* error) {
    std::vector<std::string> args(argv + 1, argv + argc);
    o->args = args;
    size_t i = 0;
    // The value of the option at args[i]; false (with the reason) when it has none.
    const auto value = [&](std::string* out) {
        if (i + 1 >= args.size()) {
            *error = "option " + args[i] + " needs a value";
            return false;
        }
        *out = args[++i];
        return true;
    };
    const auto number = [&](long low, long high, long* out) {
        std::string text;
        if (!value(&text)) {
            return false;
        }
        if (!ParseInt(text, low, high, out)) {
            *error = "option " + args[i - 1] + ": not a number from " + std::to_string(low) +
                     " to " + std::to_string(high) + ": " + text;
            return false;
        }
        return true;
    };
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        long n = 0;
        bool ok = true;
        if (a == "--help" || a == "-h") {
            o->help = true;
        } else if (a == "--version") {
            o->version = true;
        } else if (a == "--json") {
            o->json = true;
        } else if (a == "--tcp") {
            ok = value(&o->tcp);
        } else if (a == "--com") {
            ok = number(1, 9999, &n);
            o->com = static_cast<int>(n);
        } else if (a == "--device") {
            ok = value(&o->device);
        } else if (a == "--baud") {
            ok = number(1, 10000000, &o->baud);
        } else if (a == "--settings") {
            ok = value(&o->settings);
        } else if (a == "--targets") {
            ok = value(&o->targets);
        } else if (a == "-o" || a == "--output") {
            ok = value(&o->output);
        } else if (a == "--eeprom") {
            o->eeprom = true;
        } else if (a == "--set") {
            ok = number(0, 1, &n);
            o->set = static_cast<int>(n);
        } else if (a == "--verify") {
            o->verify = true;
        } else if (a == "--allow-defaults") {
            o->allowDefaults = true;
        } else if (a == "-n" || a == "--count") {
            ok = number(1, 100000000, &o->count);
        } else if (a == "--interval") {
            std::string text;
            ok = value(&text);
            if (ok && !ParseSeconds(text, &o->interval)) {
                *error = "--interval: not a number of seconds: " + text;
                ok = false;
            }
            o->intervalGiven = true;
        } else if (a == "--header") {
            o->header = true;
        } else if (a == "--endless") {
            o->endless = true;
        } else if (a == "--triggered") {
            o->triggered = true;
        } else if (a == "--panel-id") {
            ok = value(&o->panelId);
            o->panelIdGiven = true;
        } else if (a == "--trigger-mode") {
            std::string text;
            ok = value(&text);
            if (ok && !ParseTriggerMode(text, &o->triggerMode)) {
                *error =
                    "--trigger-mode: one of 0..4, single, rising, falling, color0, in0: " + text;
                ok = false;
            }
        } else if (a == "--level") {
            ok = number(0, 65535, &o->level);
        } else if (a == "--pretrigger") {
            ok = number(0, 127, &o->pretrigger);
        } else if (a == "--scan-rate") {
            ok = number(1, 65535, &o->scanRate);
        } else if (a == "--signal") {
            ok = number(0, 1, &o->signal);
        } else if (a.size() > 1 && a[0] == '-') {
            *error = "unknown option " + a;
            return false;
        } else if (o->command.empty()) {
            o->command = a;
        } else if (o->command == "send" && o->file.empty()) {
            o->file = a;
        } else {
            *error = "unexpected argument " + a;
            return false;
        }
        if (!ok) {
            return false;
        }
    }
    if (o->help || o->version) {
        return true;
    }
    if (o->command.empty()) {
        *error = "no command given";
        return false;
    }
    if (!KnownCommand(o->command)) {
        *error = "unknown command " + o->command;
        return false;
    }
    const int addressing =
        (o->tcp.empty() ? 0 : 1) + (o->com == 0 ? 0 : 1) + (o->device.empty() ? 0 : 1);
    if (addressing > 1 || (addressing == 1 && !o->targets.empty())) {
        *error = "give one of --tcp, --com, --device or --targets";
        return false;
    }
    if (addressing == 0 && o->settings.empty() && o->targets.empty()) {
        *error = "no sensor given: use --tcp, --com, --device, --settings or --targets";
        return false;
    }
    if (o->command == "send" && o->file.empty()) {
        *error = "send needs a parameter file";
        return false;
    }
    const std::string& c = o->command;
    if ((c == "record" || c == "hwinfo" || c == "scope") && o->output.empty()) {
        *error = c + " needs -o FILE";
        return false;
    }
    if (c == "record") {
        const int modes = (o->triggered ? 1 : 0) + (o->endless ? 1 : 0) +
                          (!o->triggered && !o->endless && o->count != 0 ? 1 : 0);
        if (modes != 1 || (o->endless && o->count != 0)) {
            *error = "record needs one of --count N --interval S, --endless --interval S, "
                     "--triggered [--count N]";
            return false;
        }
        if (!o->triggered && !o->intervalGiven) {
            *error = "a timed recording needs --interval S";
            return false;
        }
    }
    if (o->json && c == "live") {
        *error = "live prints record-file lines; --json does not apply";
        return false;
    }
    if (o->json && c == "get" && o->output.empty()) {
        *error = "get --json needs -o: the results and the file would share standard output";
        return false;
    }
    if (c == "scope" && o->triggerMode < 0) {
        *error = "scope needs --trigger-mode";
        return false;
    }
    if (!o->targets.empty() &&
        (c == "live" || c == "scope" || ((c == "get" || c == "record") && o->output.empty()))) {
        *error = c + " with --targets needs -o (with {serial} or {address})";
        return false;
    }
    return true;
}

std::string HelpText(const std::string& command) {
    if (command == "ident") {
        return "usage: chromik3-cli ident ADDRESS [--json]\n"
               "Runs the connection test and prints the sensor's identification text and\n"
               "serial number.\n";
    }
    if (command == "get") {
        return "usage: chromik3-cli get ADDRESS [--eeprom] [--set 0|1] [-o FILE]\n"
               "Reads the parameter set and teach table (from the EEPROM with --eeprom)\n"
               "and writes them as a parameter file, the same file SEND to FILE writes;\n"
               "to standard output without -o. FILE may hold {serial} and {address}.\n";
    }
    if (command == "send") {
        return "usage: chromik3-cli send FILE ADDRESS [--eeprom] [--set 0|1] [--verify]\n"
               "                         [--allow-defaults] [--json]\n"
               "Sends a parameter file to the sensor's RAM (and on to its EEPROM with\n"
               "--eeprom). A file with keys missing or out of range is not sent unless\n"
               "--allow-defaults sends it with the defaults the program would use.\n"
               "--verify reads the set back (from the EEPROM too with --eeprom) and\n"
               "compares every word.\n";
    }
    if (command == "live") {
        return "usage: chromik3-cli live ADDRESS [-n N] [--interval S] [--header]\n"
               "Reads live frames (N of them, or until Ctrl-C) every S seconds (at least\n"
               "0.25) and prints each as a line of the record file; --header prints the\n"
               "record file's header first.\n";
    }
    if (command == "record") {
        return "usage: chromik3-cli record ADDRESS -o FILE --count N --interval S\n"
               "       chromik3-cli record ADDRESS -o FILE --endless --interval S\n"
               "       chromik3-cli record ADDRESS -o FILE --triggered [--count N]\n"
               "                    [--panel-id TEXT]\n"
               "Records into a record file as the recorder page does: N frames or without\n"
               "end, S seconds apart (at least 0.25), or a frame on every trigger of the\n"
               "sensor. Ctrl-C ends a recording cleanly: automatic sending is stopped, the\n"
               "file complete, a summary on standard error.\n";
    }
    if (command == "hwinfo") {
        return "usage: chromik3-cli hwinfo ADDRESS -o FILE\n"
               "Writes the hardware information file for the supplier.\n";
    }
    if (command == "cycle-time") {
        return "usage: chromik3-cli cycle-time ADDRESS\n"
               "Prints the sensor's cycle time and scan frequency.\n";
    }
    if (command == "scope") {
        return "usage: chromik3-cli scope ADDRESS --trigger-mode M [--level L] [--pretrigger P]\n"
               "                          [--scan-rate R] [--signal 0|1] -o FILE\n"
               "One scope capture in time order as a tab-separated file: sample, the three\n"
               "analogue lines, the digital word. M: single, rising, falling, color0, in0\n"
               "(or 0..4). --signal 1 records X Y INT (s i M) instead of RED GREEN BLUE.\n"
               "Ctrl-C breaks off a capture that waits for its trigger.\n";
    }
    return "usage: chromik3-cli COMMAND ADDRESS [OPTIONS]\n"
           "\n"
           "Commands (chromik3-cli COMMAND --help for each):\n"
           "  ident   identification text and serial number\n"
           "  get     the parameter set as a parameter file\n"
           "  send    a parameter file to the sensor, optionally verified\n"
           "  live    live frames as record-file lines\n"
           "  record  a record file, timed or triggered\n"
           "  hwinfo  the hardware information file\n"
           "  cycle-time  the cycle time and scan frequency\n"
           "  scope   one scope capture as a table\n"
           "\n"
           "ADDRESS, as on the connection page:\n"
           "  --tcp HOST[:PORT]   TCP/IP (port 10001 when left out)\n"
           "  --com N             RS-232 on COM N (1..100 ttyS, 101.. ttyUSB, 201.. ttyACM,\n"
           "                      1000.. pseudo-terminals)\n"
           "  --device PATH       RS-232 on a serial device\n"
           "  --baud RATE         the RS-232 rate (9600 .. 921600; 115200 by default)\n"
           "  --settings FILE     the connection of a PanelSettings.cfg\n"
           "  --targets FILE      every sensor of FILE in parallel, one a line\n"
           "                      (192.168.0.21:10001, com:3, /dev/ttyUSB0; # comments)\n"
           "\n"
           "  -o FILE             output file; may hold {serial} and {address}\n"
           "  --json              results as JSON lines\n"
           "  --version           the version\n"
           "\n"
           "Exit status: 0 done, 1 usage, 2 link failure, 3 refused (other firmware) or\n"
           "verification failed, 4 file error.\n";
}

} // namespace cli
