// chromik3-sim: the simulated colour sensor as a program of its own. It
// serves the sensor protocol on loopback TCP and/or a pseudo-terminal until
// it gets `quit` on standard input, SIGINT or SIGTERM.
#include "sim/control.h"
#include "sim/simulator.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <pthread.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

const char* kUsage =
    "Usage: chromik3-sim [OPTIONS]\n"
    "\n"
    "A simulated CHROMIK3 colour sensor: answers every order of the sensor protocol from a\n"
    "simulated conveyor scene. The first line on standard output says where it listens;\n"
    "then it reads control commands on standard input, one a line, and prints the replies.\n"
    "\n"
    "Transports (default: TCP on 127.0.0.1:10001):\n"
    "  --tcp PORT          serve TCP on 127.0.0.1:PORT (0 = any free port); one client at a\n"
    "                      time, the next one after a disconnect\n"
    "  --bind ADDRESS      serve TCP on another loopback address (127.0.0.0/8), e.g.\n"
    "                      127.0.0.5: several simulators on one port, as on a line\n"
    "  --pty               open a pseudo-terminal and print its path and the COM number the\n"
    "                      program maps it to; without --tcp only the pseudo-terminal is served\n"
    "  --line-baud N       model the serial line time of N bits per second (10 bits a byte) on\n"
    "                      either transport; order 190 switches the model to the new rate.\n"
    "                      On the pseudo-terminal, requests sent at another rate are lost\n"
    "  --control PORT      also take control commands on 127.0.0.1:PORT (each reply ends with\n"
    "                      an empty line)\n"
    "\n"
    "Sensor:\n"
    "  --firmware TEXT     identification text of order 7 (default \"CHROMIK3 V4.3.0  SIMULATED\n"
    "                      SENSOR\"); e.g. \"CHROMIK3 V4.2.1  OLD SENSOR\" for another version\n"
    "  --serial N          serial number answered with order 7 (default 4711)\n"
    "  --eeprom FILE       keep the EEPROM (both parameter sets, CFs, offsets) in FILE; created\n"
    "                      with the factory contents when missing\n"
    "  --cycle-us US       scan time at INTEGRAL 1 in microseconds (default 250)\n"
    "\n"
    "Scene:\n"
    "  --seed N            order of the targets and the noise (default 1)\n"
    "  --noise SIGMA       receiver noise in raw counts, 0 = none (default 6)\n"
    "  --target-ms MS      time a target takes to pass the optics (default 150)\n"
    "  --gap-ms MS         belt between two targets (default 100)\n"
    "\n"
    "Faults:\n"
    "  --fault \"SPEC\"      inject a fault, as the control command \"fault SPEC\"; repeatable,\n"
    "                      e.g. --fault \"delay-header 2900 order=7\"\n"
    "\n"
    "  --help              this text\n"
    "  --version           the version\n"
    "\n";

const char* kVersion = "chromik3-sim 4.3.0 (CHROMIK3 Scope V4.3)\n";

bool ParseInt(const char* text, long lo, long hi, long* out) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || v < lo || v > hi) {
        return false;
    }
    *out = v;
    return true;
}

bool ParseReal(const char* text, double lo, double hi, double* out) {
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (*text == '\0' || *end != '\0' || !(v >= lo && v <= hi)) {
        return false;
    }
    *out = v;
    return true;
}

int Usage(const std::string& problem) {
    std::cerr << "chromik3-sim: " << problem << "\nTry chromik3-sim --help\n";
    return 2;
}

// Prints `text` on standard output; a write that fails (a full disk, a
// closed pipe) is reported and ends with status 1.
int PrintAndExit(const std::string& text) {
    std::cout << text << std::flush;
    if (!std::cout) {
        std::cerr << "chromik3-sim: cannot write to standard output\n";
        return 1;
    }
    return 0;
}

// Parses the command line into `o`; returns -1 to go on, else an exit code.
int ParseArgs(int argc, char** argv, sim::Options* o) {
    bool tcpGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            return PrintAndExit(kUsage + sim::ControlHelp());
        }
        if (arg == "--version") {
            return PrintAndExit(kVersion);
        }
        if (arg == "--pty") {
            o->pty = true;
            continue;
        }
        if (i + 1 >= argc) {
            return Usage("unknown option or missing value: " + arg);
        }
        const char* v = argv[++i];
        long n = 0;
        double d = 0;
        if (arg == "--tcp" && ParseInt(v, 0, 65535, &n)) {
            o->tcpPort = static_cast<uint16_t>(n);
            tcpGiven = true;
        } else if (arg == "--bind") {
            o->tcpAddress = v;
            tcpGiven = true;
        } else if (arg == "--line-baud" && ParseInt(v, 1, 100000000, &n)) {
            o->lineBaud = static_cast<int>(n);
        } else if (arg == "--control" && ParseInt(v, 0, 65535, &n)) {
            o->controlPort = static_cast<int>(n);
        } else if (arg == "--firmware") {
            o->firmwareId = v;
        } else if (arg == "--serial" && ParseInt(v, 0, 65535, &n)) {
            o->serialNumber = static_cast<uint16_t>(n);
        } else if (arg == "--eeprom") {
            o->eepromFile = v;
        } else if (arg == "--cycle-us" && ParseReal(v, 10, 1000000, &d)) {
            o->cycleUs = d;
        } else if (arg == "--seed" && ParseInt(v, 0, 0x7FFFFFFF, &n)) {
            o->seed = static_cast<unsigned>(n);
        } else if (arg == "--noise" && ParseReal(v, 0, 1000, &d)) {
            o->noise = d;
        } else if (arg == "--target-ms" && ParseReal(v, 10, 60000, &d)) {
            o->targetMs = d;
        } else if (arg == "--gap-ms" && ParseReal(v, 1, 60000, &d)) {
            o->gapMs = d;
        } else if (arg == "--fault") {
            o->faults.push_back(v);
        } else {
            return Usage("bad option or value: " + arg + " " + v);
        }
    }
    o->tcp = tcpGiven || !o->pty;
    return -1;
}

void ReadCommands(sim::Simulator* simulator) {
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.find_first_not_of(" \t") == std::string::npos) {
            continue;
        }
        if (line == "quit") {
            std::cout << "ok: quit\n" << std::flush;
            kill(getpid(), SIGTERM);
            return;
        }
        std::cout << simulator->Command(line) << std::flush;
    }
    // End of input: keep serving until a signal ends the process.
}

} // namespace

int main(int argc, char** argv) {
    sim::Options options;
    const int exitCode = ParseArgs(argc, argv, &options);
    if (exitCode >= 0) {
        return exitCode;
    }

    // Signals are taken by sigwait below, not by whichever thread runs.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    sim::Simulator simulator(options);
    std::string error;
    if (!simulator.Start(&error)) {
        std::cerr << "chromik3-sim: " << error << "\n";
        return 1;
    }
    std::string where;
    if (options.tcp) {
        where = "tcp " + options.tcpAddress + ":" + std::to_string(simulator.TcpPort());
    }
    if (options.pty) {
        where += (where.empty() ? "" : " and ") + std::string("pty ") + simulator.PtyPath() +
                 " (COM " + std::to_string(simulator.PtyComPort()) + ")";
    }
    std::cout << "chromik3-sim listening on " << where << "\n";
    if (options.controlPort >= 0) {
        std::cout << "control commands on tcp 127.0.0.1:" << simulator.ControlPort() << "\n";
    }
    std::cout << std::flush;

    std::thread(ReadCommands, &simulator).detach();
    int signal = 0;
    sigwait(&signals, &signal);
    simulator.Stop();
    return 0;
}
