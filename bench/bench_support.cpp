#include "bench/bench_support.h"

#include "app/panels.h"
#include "app/shell.h"
#include "link/com232.h"
#include "platform/runtime.h"
#include "sensor/sensor.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace bench {

fs::path MakeScratchDir(const std::string& name) {
    const fs::path dir =
        fs::temp_directory_path() / ("c3-" + name + "-" + std::to_string(getpid()));
    fs::create_directories(dir);
    app::SetProjectDir(dir.string());
    return dir;
}

std::unique_ptr<sim::Simulator> StartSensor(const sim::Options& options) {
    auto s = std::make_unique<sim::Simulator>(options);
    std::string error;
    if (!s->Start(&error)) {
        std::fprintf(stderr, "simulator: %s\n", error.c_str());
        return nullptr;
    }
    return s;
}

sensor::Sensor& ProgramSensor() {
    static auto* program = new sensor::Sensor;
    return *program;
}

namespace {

// The settings file of a 1200 x 800 main window; `link` is the
// communication section's body.
void WriteSettings(const fs::path& dir, const std::string& link) {
    std::ofstream out(dir / "PanelSettings.cfg", std::ios::binary);
    out << "[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n\r\n"
           "[PANEL POSITION]\r\nMAINPANEL FULLSCREEN = 0\r\nMAINPANEL LEFT = 0\r\n"
           "MAINPANEL TOP = 0\r\nMAINPANEL WIDTH = 1200\r\nMAINPANEL HEIGHT = 800\r\n\r\n"
           "[COMMUNICATION SETTINGS]\r\n"
        << link;
}

bool Start() {
    if (!app::LoadAndPreparePanels(ProgramSensor())) {
        std::printf("the panels could not be built\n");
        return false;
    }
    app::InitAll();
    return app::P().sensor.link.LinkOk == 1;
}

std::string TcpSection(uint16_t port) {
    return "COMPROTOCOL = 1\r\nIP ADRESS = \"127.0.0.1\"\r\nPORT NUMBER = \"" +
           std::to_string(port) + "\"\r\n\r\n";
}

} // namespace

bool StartProgram(const fs::path& dir, sim::Simulator& sensor, bool serial, int baudIndex) {
    if (serial) {
        WriteSettings(dir, "COMPROTOCOL = 0\r\nCOMPORT = " + std::to_string(sensor.PtyComPort()) +
                               "\r\nBAUDRATE = " + std::to_string(baudIndex) + "\r\n\r\n");
    } else {
        WriteSettings(dir, TcpSection(sensor.TcpPort()));
    }
    return Start();
}

bool StartProgramOnTcp(const fs::path& dir, uint16_t port) {
    WriteSettings(dir, TcpSection(port));
    return Start();
}

void Settle(int passes) {
    for (int i = 0; i < passes; ++i) {
        platform::ProcessSystemEvents();
    }
}

double ThreadCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_THREAD, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

MemoryKiB ReadMemory() {
    std::ifstream rollup("/proc/self/smaps_rollup");
    MemoryKiB m;
    std::string key;
    std::getline(rollup, key); // the address range
    long value = 0;
    std::string unit;
    while (rollup >> key >> value >> unit) {
        if (key == "Rss:") {
            m.resident = value;
        } else if (key == "Anonymous:") {
            m.anonymous = value;
        }
    }
    return m;
}

long ResidentKiB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

unsigned long long StatusValue(sim::Simulator& sensor, const std::string& key) {
    const std::string status = sensor.Command("status");
    const size_t at = status.find(" " + key + "=");
    return at == std::string::npos ? 0 : std::stoull(status.substr(at + key.size() + 2));
}

int ConnectTcp(uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) {
        return -1;
    }
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    timeval tv{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(port);
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

int OpenRawSerial(const std::string& path) {
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0) {
        return -1;
    }
    termios t{};
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    tcsetattr(fd, TCSANOW, &t);
    return fd;
}

bool ReadExactly(int fd, uint8_t* buf, size_t n) {
    size_t got = 0;
    while (got < n) {
        const ssize_t r = read(fd, buf + got, n - got);
        if (r <= 0) {
            return false;
        }
        got += static_cast<size_t>(r);
    }
    return true;
}

} // namespace bench
