// chromik3-cli find as a user runs it: four sensors on pseudo-terminals, each
// at another of the eight line rates (the simulator's line model drops what
// is sent at another rate), and three sensors among 256 loopback addresses.
// The time from starting the tool until it has ended, having found them
// all. Prints figures, asserts nothing.
#include "sim/simulator.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Runs the tool, its output into `out`; the seconds it took and how many
// of its lines hold `part`.
double RunFind(const std::vector<std::string>& args, const std::string& part, int* found) {
    const std::string out = "/tmp/bench_find." + std::to_string(getpid()) + ".out";
    std::vector<char*> argv{const_cast<char*>(C3_CLI_EXECUTABLE)};
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const Clock::time_point start = Clock::now();
    pid_t pid = -1;
    posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    waitpid(pid, &status, 0);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    *found = 0;
    if (FILE* f = std::fopen(out.c_str(), "r")) {
        char line[512];
        while (std::fgets(line, sizeof line, f) != nullptr) {
            *found += std::string(line).find(part) != std::string::npos ? 1 : 0;
        }
        std::fclose(f);
    }
    unlink(out.c_str());
    return seconds;
}

std::unique_ptr<sim::Simulator> Start(const sim::Options& o) {
    auto s = std::make_unique<sim::Simulator>(o);
    std::string error;
    if (!s->Start(&error)) {
        std::fprintf(stderr, "simulator: %s\n", error.c_str());
        return nullptr;
    }
    return s;
}

void Report(const char* what, const std::vector<double>& runs, int found, int of, double goal) {
    std::vector<double> sorted = runs;
    std::sort(sorted.begin(), sorted.end());
    std::printf("%-46s median %.2f s  (min %.2f, max %.2f; %d of %d found; goal < %.0f s)\n", what,
                sorted[sorted.size() / 2], sorted.front(), sorted.back(), found, of, goal);
}

} // namespace

int main() {
    constexpr int kRuns = 5;
    // Four serial sensors; the slowest is found last, after the seven
    // faster rates went unanswered.
    const int rates[] = {9600, 57600, 230400, 921600};
    std::vector<std::unique_ptr<sim::Simulator>> serial;
    std::vector<std::string> args = {"find"};
    for (const int rate : rates) {
        sim::Options o;
        o.tcp = false;
        o.pty = true;
        o.lineBaud = rate;
        serial.push_back(Start(o));
        if (!serial.back()) {
            return 1;
        }
        args.insert(args.end(), {"--com", std::to_string(serial.back()->PtyComPort())});
    }
    std::vector<double> runs;
    int found = 0;
    for (int i = 0; i < kRuns; ++i) {
        runs.push_back(RunFind(args, "SIMULATED SENSOR", &found));
    }
    Report("4 pseudo-terminals at 9600 .. 921600 Bd", runs, found, 4, 3);
    serial.clear();

    // Three sensors among 256 loopback addresses on one port; nothing
    // listens on the other 253.
    std::vector<std::unique_ptr<sim::Simulator>> line;
    uint16_t port = 0;
    for (const int host : {10, 100, 200}) {
        sim::Options o;
        o.tcpAddress = "127.0.1." + std::to_string(host);
        o.tcpPort = port;
        line.push_back(Start(o));
        if (!line.back()) {
            return 1;
        }
        port = line.back()->TcpPort();
    }
    runs.clear();
    const std::vector<std::string> range = {"find", "--no-serial", "--tcp",
                                            "127.0.1.0-255:" + std::to_string(port)};
    for (int i = 0; i < kRuns; ++i) {
        runs.push_back(RunFind(range, "SIMULATED SENSOR", &found));
    }
    Report("3 sensors among 256 loopback addresses", runs, found, 3, 2);
    return 0;
}
