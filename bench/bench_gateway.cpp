// chromik3-gateway under load: 16 simulated sensors running GO over TCP
// through the gateway and a real mosquitto broker to one subscriber; then
// one sensor at 115 200 Bd over a pseudo-terminal. Prints the frames the
// links delivered against those that reached the subscriber, the latency
// from a frame's arrival at the gateway to the subscriber, the gateway's
// CPU per 1 000 frames and its memory over the run. Asserts nothing.
//   bench_gateway [--seconds N] [--sensors N] [--line-baud N]
#include "sim/simulator.h"

#include <mosquitto.h>

#include <QByteArray>
#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <netinet/in.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

unsigned FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

pid_t Spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void End(pid_t pid, int signal) {
    ::kill(pid, signal);
    ::waitpid(pid, nullptr, 0);
}

// User and system CPU seconds of a process.
double CpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), {});
    const size_t close = text.rfind(')');
    if (close == std::string::npos) {
        return 0;
    }
    std::vector<std::string> fields;
    size_t at = close + 2;
    while (at < text.size()) {
        const size_t space = text.find(' ', at);
        fields.push_back(text.substr(at, space - at));
        at = space == std::string::npos ? text.size() : space + 1;
    }
    // utime and stime are fields 14 and 15 of the line (11 and 12 here).
    return fields.size() > 12
               ? (std::stod(fields[11]) + std::stod(fields[12])) / ::sysconf(_SC_CLK_TCK)
               : 0;
}

double ResidentMiB(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stod(line.substr(6)) / 1024.0;
        }
    }
    return 0;
}

// Takes every frame: how many per sensor, the highest frame number (the
// frames the gateway had read from that sensor), the latencies.
struct Counting {
    std::mutex mutex;
    std::map<std::string, uint64_t> received;
    std::map<std::string, uint64_t> highest;
    std::vector<double> latencyMs;
};

void OnMessage(mosquitto*, void* self, const mosquitto_message* m) {
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    auto* c = static_cast<Counting*>(self);
    const QJsonObject o =
        QJsonDocument::fromJson(QByteArray(static_cast<const char*>(m->payload), m->payloadlen))
            .object();
    const qint64 sent =
        QDateTime::fromString(o.value("time").toString(), Qt::ISODateWithMs).toMSecsSinceEpoch();
    const std::string topic = m->topic;
    const std::lock_guard<std::mutex> lock(c->mutex);
    ++c->received[topic];
    c->highest[topic] =
        std::max<uint64_t>(c->highest[topic], static_cast<uint64_t>(o.value("number").toDouble()));
    c->latencyMs.push_back(static_cast<double>(now - sent));
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) {
        return 0;
    }
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())))];
}

struct Run {
    std::string title;
    std::vector<std::string> targets; // one line each
    double seconds = 60;
    double lineFps = 0; // the frames a second the line allows per sensor (0: not modelled)
};

void Measure(const Run& r, const std::string& dir) {
    const unsigned port = FreePort();
    const std::string conf = dir + "/broker.conf";
    std::ofstream(conf) << "listener " << port << " 127.0.0.1\nallow_anonymous true\n"
                        << "persistence false\nmax_queued_messages 100000\n"
                        << "set_tcp_nodelay true\n";
    const pid_t broker = Spawn({"/usr/sbin/mosquitto", "-c", conf});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    std::string lines;
    for (const std::string& t : r.targets) {
        lines += t + "\n";
    }
    std::ofstream(dir + "/line.txt") << lines;

    Counting counting;
    mosquitto* sub = mosquitto_new(nullptr, true, &counting);
    mosquitto_message_callback_set(sub, OnMessage);
    mosquitto_int_option(sub, MOSQ_OPT_TCP_NODELAY, 1);
    mosquitto_connect(sub, "127.0.0.1", static_cast<int>(port), 30);
    mosquitto_subscribe(sub, nullptr, "bench/+/frame", 0);
    mosquitto_loop_start(sub);

    const pid_t gateway =
        Spawn({C3_GATEWAY_EXECUTABLE, "--broker", "127.0.0.1:" + std::to_string(port), "--prefix",
               "bench", "--targets", dir + "/line.txt"});
    const Clock::time_point start = Clock::now();
    double memory10 = 0;
    const double cpuStart = CpuSeconds(gateway);
    while (Clock::now() - start < std::chrono::duration<double>(r.seconds)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (memory10 == 0 && Clock::now() - start >= std::chrono::seconds(10)) {
            memory10 = ResidentMiB(gateway);
        }
    }
    const double memoryEnd = ResidentMiB(gateway);
    const double cpu = CpuSeconds(gateway) - cpuStart;
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    End(gateway, SIGTERM);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    mosquitto_disconnect(sub);
    mosquitto_loop_stop(sub, true);
    mosquitto_destroy(sub);
    End(broker, SIGTERM);

    uint64_t received = 0;
    uint64_t read = 0;
    for (const auto& [topic, n] : counting.received) {
        received += n;
        read += counting.highest[topic];
    }
    std::printf("%s, %.0f s:\n", r.title.c_str(), elapsed);
    std::printf("  frames read by the links     %10llu  (%.0f/s",
                static_cast<unsigned long long>(read), static_cast<double>(read) / elapsed);
    if (r.lineFps > 0) {
        std::printf("; the lines allow %.0f/s", r.lineFps * static_cast<double>(r.targets.size()));
    }
    std::printf(")\n  frames at the subscriber     %10llu  (%.0f/s, %.2f %% of those read)\n",
                static_cast<unsigned long long>(received), static_cast<double>(received) / elapsed,
                read == 0 ? 0.0
                          : 100.0 * static_cast<double>(received) / static_cast<double>(read));
    std::printf("  latency arrival->subscriber  p50 %.0f ms, p99 %.0f ms, max %.0f ms "
                "(time stamps to the millisecond)\n",
                Percentile(counting.latencyMs, 0.5), Percentile(counting.latencyMs, 0.99),
                Percentile(counting.latencyMs, 1.0));
    std::printf("  gateway CPU                  %.1f ms per 1 000 frames (%.0f %% of one core)\n",
                received == 0 ? 0.0 : 1e6 * cpu / static_cast<double>(received),
                100.0 * cpu / elapsed);
    if (memory10 > 0) {
        std::printf("  gateway memory               %.1f MiB at 10 s, %.1f MiB at %.0f s\n",
                    memory10, memoryEnd, elapsed);
    } else {
        std::printf("  gateway memory               %.1f MiB at %.0f s\n", memoryEnd, elapsed);
    }
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    double seconds = 60;
    int sensors = 16;
    int lineBaud = 115200;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string opt = argv[i];
        if (opt == "--seconds") {
            seconds = std::stod(argv[i + 1]);
        } else if (opt == "--sensors") {
            sensors = std::stoi(argv[i + 1]);
        } else if (opt == "--line-baud") {
            lineBaud = std::stoi(argv[i + 1]);
        }
    }
    if (::access("/usr/sbin/mosquitto", X_OK) != 0) {
        std::printf("mosquitto is not installed (make deps installs it): nothing measured\n");
        return 0;
    }
    mosquitto_lib_init();
    char name[] = "/tmp/c3-bench-gateway-XXXXXX";
    const std::string dir = ::mkdtemp(name);
    // A request (8 bytes) and its answer (48 bytes) at 10 bits a byte.
    const auto lineFps = [](int baud) { return baud > 0 ? baud / 560.0 : 0.0; };

    std::vector<std::unique_ptr<sim::Simulator>> line;
    Run tcp;
    tcp.seconds = seconds;
    tcp.lineFps = lineFps(lineBaud);
    tcp.title = std::to_string(sensors) + " sensors GO over TCP" +
                (lineBaud > 0 ? " (each modelling a line at " + std::to_string(lineBaud) + " Bd)"
                              : " (no line model)");
    for (int i = 0; i < sensors; ++i) {
        sim::Options o;
        o.tcpPort = 0;
        o.serialNumber = static_cast<uint16_t>(2001 + i);
        o.lineBaud = lineBaud;
        line.push_back(std::make_unique<sim::Simulator>(o));
        std::string error;
        if (!line.back()->Start(&error)) {
            std::printf("the simulator does not start: %s\n", error.c_str());
            return 1;
        }
        tcp.targets.push_back("127.0.0.1:" + std::to_string(line.back()->TcpPort()));
    }
    Measure(tcp, dir);
    line.clear();

    sim::Options o;
    o.tcp = false;
    o.pty = true;
    o.lineBaud = 115200;
    sim::Simulator serial(o);
    std::string error;
    if (!serial.Start(&error)) {
        std::printf("the simulator's pseudo-terminal does not open: %s\n", error.c_str());
        return 1;
    }
    Run pty;
    pty.seconds = std::min(seconds, 20.0);
    pty.lineFps = lineFps(115200);
    pty.title = "1 sensor at 115 200 Bd over a pseudo-terminal";
    pty.targets = {serial.PtyPath()};
    Measure(pty, dir);
    serial.Stop();
    std::filesystem::remove_all(dir);
    mosquitto_lib_cleanup();
    return 0;
}
