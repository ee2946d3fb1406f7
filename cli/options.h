// The command line of chromik3-cli: the sensor's address, the command and
// its options, and the exit statuses.
#pragma once

#include <string>
#include <vector>

namespace cli {

// Exit statuses.
constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;
constexpr int kExitLink = 2;    // also a command that did not end within --timeout
constexpr int kExitRefused = 3; // other firmware, the set read back differs, diff found differences
constexpr int kExitFile = 4;    // also a failed write to standard output

// The name of standard input or output where a file is named.
inline constexpr const char* kStdStream = "-";

struct Options {
    std::string command; // ident, get, send, diff, live, ..., find
    bool help = false;
    bool version = false;
    bool json = false;
    double timeout = 0; // seconds; 0: none

    // Where the sensor is (at most one of tcp, com, device; or settings).
    std::string tcp; // HOST[:PORT]
    int com = 0;     // 0: none
    std::string device;
    long baud = 0; // 0: the default
    std::string settings;
    std::string targets;
    long jobs = 64; // --targets: sensors at once
    bool jobsGiven = false;

    // find: every --tcp, --com, --device and --baud given (the fields above
    // hold the last), whether a large range is meant, the targets file to write.
    std::vector<std::string> tcpRanges;
    std::vector<int> comPorts;
    std::vector<std::string> devices;
    std::vector<long> bauds;
    bool force = false;
    bool noSerial = false; // --tcp only
    std::string writeTargets;

    // send: the parameter file; diff: the reference and, without a sensor,
    // the file compared with it. "-" is standard input, read once (stdinText).
    std::vector<std::string> files;
    std::string stdinText;
    std::string output; // "-": standard output

    // get, send, diff
    bool eeprom = false;
    bool keepRam = false;
    bool asProgram = false;
    int set = 0;
    bool verify = false;
    bool allowDefaults = false;
    bool csv = false;

    // live, record
    long count = 0; // 0: not given
    double interval = 0;
    bool intervalGiven = false;
    bool header = false;
    bool endless = false;
    bool triggered = false;
    std::string panelId;
    bool panelIdGiven = false;
    double progress = 0; // seconds between progress reports; 0: none
    bool lf = false;
    bool isoTime = false;

    // scope
    int triggerMode = -1; // -1: not given
    long level = 0;
    long pretrigger = 0;
    long scanRate = 1;
    long signal = 0;
};

// Parses argv; on a usage error returns false with the reason in *error.
bool ParseOptions(int argc, char** argv, Options* options, std::string* error);

// True when the arguments ask for JSON lines (also for a usage error).
bool JsonRequested(int argc, char** argv);

// The tool's help, or a command's.
std::string HelpText(const std::string& command);
// The commands this tool knows.
bool KnownCommand(const std::string& command);
// The first line of the tool's version.
std::string VersionText();

} // namespace cli
