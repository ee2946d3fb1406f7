// What the gateway serves and where it publishes: the broker, the topic
// prefix and the line's sensors, from the command line alone (with a
// targets file) or from a configuration file. Everything is checked before
// any sensor or the broker is touched; a fault names its file and line.
#pragma once

#include "sensor/address.h"

#include <string>
#include <vector>

namespace gateway {

struct BrokerConfig {
    std::string host = "127.0.0.1";
    unsigned port = 1883;
    std::string clientId; // empty: "chromik3-HOSTNAME"
    std::string username;
    std::string passwordFile;
    std::string password; // read from passwordFile
    std::string caFile;
    std::string certFile;
    std::string keyFile;
    int keepalive = 30; // seconds
    bool Tls() const { return !caFile.empty(); }
};

struct SensorConfig {
    int line = 0;     // where the configuration names it (0: the command line)
    std::string file; // the file that names it
    sensor::Address address;
    std::string name;                  // the topic level; empty: the serial number once known
    double rate = 0;                   // frames a second on the frame topic; 0: every frame
    std::string tableAttributes;       // file with the row texts; empty: none
    std::vector<std::string> rowTexts; // its 31 row texts (empty without a file)
};

struct Config {
    BrokerConfig broker;
    std::string prefix = "chromik3";
    bool allowCommands = false;
    double answerTimeout = 2.0;  // seconds; a sensor is offline within twice that
    size_t queueFrames = 10000;  // frames kept per sensor while the broker is away
    double statsInterval = 10.0; // seconds
    double reconnectMax = 30.0;  // the longest wait between two attempts (sensor and broker)
    std::vector<SensorConfig> sensors;
};

struct CommandLine {
    bool help = false;
    bool version = false;
    bool check = false; // check the configuration and exit
    Config config;
};

// Exit statuses.
constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;  // a bad option or configuration
constexpr int kExitBroker = 2; // the broker refused the gateway (bad name, password, certificate)

// Parses the command line and reads what it names (the configuration file,
// a targets file, the password file, the table-attributes files). False
// with every fault found, one a line, each naming its file and line.
bool ParseCommandLine(int argc, char** argv, CommandLine* cl, std::string* problems);

// Reads a configuration file into *config (the options given on the
// command line after it still override it). False with its faults.
bool ReadConfigFile(const std::string& path, Config* config, std::string* problems);

// A topic level made of letters, digits, ".", "_" and "-" only.
bool TopicLevelOk(const std::string& level);

std::string HelpText();
std::string VersionText();

} // namespace gateway
