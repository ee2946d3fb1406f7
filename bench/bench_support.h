// What the benchmarks that drive the program against the simulated sensor
// share: a scratch directory, starting the sensor and the program, plain
// blocking clients for the figures to compare against, and measuring.
#pragma once

#include "sim/simulator.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace sensor {
class Sensor;
}

namespace bench {

// A fresh directory named after the benchmark and this process; it becomes
// the program's project directory (settings and files go there).
std::filesystem::path MakeScratchDir(const std::string& name);

// Starts a simulator with `options`; prints why and returns null on failure.
std::unique_ptr<sim::Simulator> StartSensor(const sim::Options& options);

// Writes a settings file into `dir` that connects to `sensor` (TCP, or its
// pseudo-terminal at the baud-rate index `baudIndex`) with a 1200 x 800
// main window, builds the panels and starts the program. False when the
// panels could not be built or the program did not connect.
bool StartProgram(const std::filesystem::path& dir, sim::Simulator& sensor, bool serial = false,
                  int baudIndex = 4);
// The same over TCP to a sensor listening on `port` of 127.0.0.1 (one
// served by another process).
bool StartProgramOnTcp(const std::filesystem::path& dir, uint16_t port);

// The sensor of the program window the benchmarks build (never destroyed:
// the window may outlive main's locals).
sensor::Sensor& ProgramSensor();

// Runs `passes` passes of the event loop.
void Settle(int passes = 5);

// CPU time of the calling thread, user and system, in seconds.
double ThreadCpuSeconds();
// Resident memory of the process in KiB.
long ResidentKiB();
// Resident and anonymous memory of the process in KiB (smaps_rollup).
struct MemoryKiB {
    long resident = 0;
    long anonymous = 0;
};
MemoryKiB ReadMemory();
double Median(std::vector<double> v);
// A decimal value of the simulator's status line ("key=value"); 0 when absent.
unsigned long long StatusValue(sim::Simulator& sensor, const std::string& key);

// Plain blocking clients: a loopback TCP connection with TCP_NODELAY and a
// 5 s receive time-out (a lost answer ends a run instead of hanging it), and
// a pseudo-terminal in raw mode. Both give -1 on failure.
int ConnectTcp(uint16_t port);
int OpenRawSerial(const std::string& path);
// Reads exactly `n` bytes; false on end of file, error or time-out.
bool ReadExactly(int fd, uint8_t* buf, size_t n);

} // namespace bench
