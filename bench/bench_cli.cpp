// chromik3-cli as a script starts it: the time from starting the process to
// its first request on the line, a verified send over a pseudo-terminal at
// 115 200 Bd against the line time of its bytes, what a get from the EEPROM
// costs there (with and without keeping RAM), and a verified send to a line
// of 1, 4, 16 and 64 sensors over TCP. Prints figures, asserts nothing.
#include "params/parameter_file_io.h"
#include "sim/simulator.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <netinet/in.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double Seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Starts the tool with its output thrown away.
pid_t Spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv{const_cast<char*>(C3_CLI_EXECUTABLE)};
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int Wait(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Seconds from starting the tool until the first byte of its first request
// reaches a bare listening socket.
double StartToFirstRequest() {
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(listener, reinterpret_cast<sockaddr*>(&a), &len);
    listen(listener, 1);
    const auto start = Clock::now();
    const pid_t pid = Spawn({"ident", "--tcp", "127.0.0.1:" + std::to_string(ntohs(a.sin_port))});
    const int client = accept(listener, nullptr, nullptr);
    char byte = 0;
    const bool got = read(client, &byte, 1) == 1;
    const double elapsed = Seconds(start);
    close(client); // the tool reports the lost link and ends
    close(listener);
    Wait(pid);
    return got ? elapsed : -1;
}

std::unique_ptr<sim::Simulator> Sensor(bool pty, int lineBaud, uint16_t serial) {
    sim::Options o;
    o.tcp = !pty;
    o.tcpPort = 0;
    o.pty = pty;
    o.lineBaud = lineBaud;
    o.serialNumber = serial;
    auto s = std::make_unique<sim::Simulator>(o);
    std::string error;
    if (!s->Start(&error)) {
        std::fprintf(stderr, "simulator: %s\n", error.c_str());
        return nullptr;
    }
    return s;
}

} // namespace

int main() {
    const fs::path dir = fs::temp_directory_path() / ("c3-bench-cli-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string master = (dir / "master.ini").string();
    params::ParameterBlockBytes block = params::DefaultParameterBlock();
    block.set(params::kMaxVecNo, 6);
    block.set(params::kDigitalOutmode, params::kOutBinary);
    params::TeachTableBytes table;
    params::WriteParameterFile(master, block, table);

    std::vector<double> starts;
    for (int i = 0; i < 15; ++i) {
        starts.push_back(StartToFirstRequest());
    }
    std::printf("start-up to first request: median %.1f ms, best %.1f ms (goal < 50 ms)\n",
                Median(starts) * 1e3, *std::min_element(starts.begin(), starts.end()) * 1e3);

    // The bytes of a verified send on the line: identification, the set
    // read first, the two writes, the two reads back; requests and answers.
    const double lineBytes =
        (8 + 80) + (8 + 42) + (8 + 504) + (42 + 8) + (504 + 8) + (8 + 42) + (8 + 504);
    const double lineSeconds = lineBytes * 10 / 115200;
    if (auto sensor = Sensor(true, 115200, 4711)) {
        std::vector<double> runs;
        for (int i = 0; i < 5; ++i) {
            const auto start = Clock::now();
            const int status = Wait(
                Spawn({"send", master, "--com", std::to_string(sensor->PtyComPort()), "--verify"}));
            runs.push_back(status == 0 ? Seconds(start) : -1);
        }
        const double t = Median(runs);
        std::printf("send --verify, pseudo-terminal at 115200 Bd: %.1f ms; line time of its %.0f "
                    "bytes %.1f ms; %+.0f %% (goal within 20 %%)\n",
                    t * 1e3, lineBytes, lineSeconds * 1e3, (t / lineSeconds - 1) * 100);
        // What reading the EEPROM costs, with RAM set 0 other than the
        // EEPROM's each time: the RAM sets read first, and with --keep-ram
        // RAM set 0 sent back and read again.
        const std::string com = std::to_string(sensor->PtyComPort());
        for (const std::vector<std::string>& extra :
             {std::vector<std::string>{}, std::vector<std::string>{"--eeprom"},
              std::vector<std::string>{"--eeprom", "--keep-ram"}}) {
            std::vector<double> gets;
            for (int i = 0; i < 5; ++i) {
                Wait(Spawn({"send", master, "--com", com}));
                std::vector<std::string> args{"get", "--com", com, "-o",
                                              (dir / "get.ini").string()};
                args.insert(args.end(), extra.begin(), extra.end());
                const auto start = Clock::now();
                gets.push_back(Wait(Spawn(args)) == 0 ? Seconds(start) : -1);
            }
            std::string name = "get";
            for (const std::string& e : extra) {
                name += " " + e;
            }
            std::printf("%s, pseudo-terminal at 115200 Bd: %.1f ms\n", name.c_str(),
                        Median(gets) * 1e3);
        }
    }

    // Over TCP as the simulator answers at once, and with the line time of
    // 115 200 Bd, as a sensor behind a serial-to-Ethernet converter answers.
    for (int lineBaud : {0, 115200}) {
        double one = 0;
        for (int count : {1, 4, 16, 64}) {
            std::vector<std::unique_ptr<sim::Simulator>> line;
            std::ofstream targets(dir / "targets.txt");
            for (int i = 0; i < count; ++i) {
                line.push_back(Sensor(false, lineBaud, static_cast<uint16_t>(1000 + i)));
                if (!line.back()) {
                    return 1;
                }
                targets << "127.0.0.1:" << line.back()->TcpPort() << "\n";
            }
            targets.close();
            // The first run of a line is not counted: it meets the
            // simulators' first clients and a cold page cache.
            Wait(Spawn({"send", master, "--targets", (dir / "targets.txt").string(), "--verify"}));
            std::vector<double> runs;
            for (int i = 0; i < 9; ++i) {
                const auto start = Clock::now();
                const int status = Wait(Spawn(
                    {"send", master, "--targets", (dir / "targets.txt").string(), "--verify"}));
                runs.push_back(status == 0 ? Seconds(start) : -1);
            }
            const double t = Median(runs);
            if (count == 1) {
                one = t;
            }
            const char* goal = count == 16   ? "; goal < 2 x one"
                               : count == 64 ? "; goal < 6 x one"
                                             : "";
            std::printf(
                "send --verify --targets, %2d simulators over TCP%s: %.1f ms (%.2f x one%s)\n",
                count, lineBaud != 0 ? " at 115200 Bd" : "", t * 1e3, t / one, goal);
        }
    }
    fs::remove_all(dir);
    return 0;
}
