// The simulated colour sensor as an object: serves the sensor protocol on a
// loopback TCP port and/or a pseudo-terminal from a service thread of its
// own. Used by the executable chromik3-sim and, in process, by the tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sim {

class Server;

struct Options {
    bool tcp = true;                      // serve TCP on a loopback address
    std::string tcpAddress = "127.0.0.1"; // any of 127.0.0.0/8
    uint16_t tcpPort = 10001;             // 0 = pick a free port (tests use 0)
    bool pty = false;                     // also/instead open a pseudo-terminal
    int lineBaud = 0;                     // 0 = no line-time model
    std::string firmwareId;               // empty = the default identification text
    uint16_t serialNumber = 4711;
    std::string eepromFile; // empty = EEPROM not persisted
    unsigned seed = 1;      // noise seed (deterministic scene for a given seed)

    int controlPort = -1;            // control socket on 127.0.0.1: -1 none, 0 any free port
    double noise = 6;                // receiver noise, raw counts (standard deviation)
    double cycleUs = 250;            // scan time at INTEGRAL 1, microseconds
    double targetMs = 150;           // conveyor: time a target takes to pass
    double gapMs = 100;              // conveyor: belt between targets
    std::vector<std::string> faults; // initial faults, as after the command "fault "
};

class Simulator {
public:
    explicit Simulator(Options options);
    ~Simulator(); // stops the service thread, closes everything
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    bool Start(std::string* error); // open listeners / pty and start the service thread
    void Stop();
    uint16_t TcpPort() const;     // actual TCP port
    std::string PtyPath() const;  // slave path, e.g. /dev/pts/5 ("" without --pty)
    int PtyComPort() const;       // DeviceToComPort(PtyPath())
    uint16_t ControlPort() const; // actual control port (0 without one)
    std::string
    Command(const std::string& line); // thread-safe; same commands as stdin/control socket

private:
    std::unique_ptr<Server> server_;
};

} // namespace sim
