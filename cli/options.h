// The command line of chromik3-cli: the sensor's address, the command and
// its options, and the exit statuses.
#pragma once

#include <string>
#include <vector>

namespace cli {

// Exit statuses.
constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;
constexpr int kExitLink = 2;
constexpr int kExitRefused = 3; // other firmware, or the set read back differs
constexpr int kExitFile = 4;

struct Options {
    std::string command; // ident, get, send, ...
    bool help = false;
    bool version = false;
    bool json = false;

    // Where the sensor is (at most one of tcp, com, device; or settings).
    std::string tcp; // HOST[:PORT]
    int com = 0;     // 0: none
    std::string device;
    long baud = 0; // 0: the default
    std::string settings;
    std::string targets;

    // get, send
    std::string file; // send: the parameter file
    std::string output;
    bool eeprom = false;
    int set = 0;
    bool verify = false;
    bool allowDefaults = false;

    // live, record
    long count = 0; // 0: not given
    double interval = 0;
    bool intervalGiven = false;
    bool header = false;
    bool endless = false;
    bool triggered = false;
    std::string panelId;
    bool panelIdGiven = false;

    // scope
    int triggerMode = -1; // -1: not given
    long level = 0;
    long pretrigger = 0;
    long scanRate = 1;
    long signal = 0;

    // The arguments as given, for the run on each target.
    std::vector<std::string> args;
};

// Parses argv; on a usage error returns false with the reason in *error.
bool ParseOptions(int argc, char** argv, Options* options, std::string* error);

// The tool's help, or a command's.
std::string HelpText(const std::string& command);
// The commands this tool knows.
bool KnownCommand(const std::string& command);

} // namespace cli
