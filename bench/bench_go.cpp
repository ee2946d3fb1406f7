// GO against the simulated sensor, offscreen, with the data panel showing:
//  - TCP loopback: frames per second on the 2D and on the 3D page, against
//    the rate a bare blocking client gets from the same simulator;
//  - serial over a pseudo-terminal with the simulator's line model at
//    115 200 and 921 600 baud, against the line limit (560 bit times a frame);
//  - replots and display refreshes per second during the TCP run;
//  - CPU time of the program's thread while GO waits for an answer that
//    never comes;
//  - resident memory at the start and after a long run of GO.
// Figures only; nothing is asserted. C3_BENCH_GO_SECONDS shortens the runs
// (default 5 s per run, 60 s for the memory run); C3_BENCH_GO_ONLY picks
// one part.
#include "app/panels.h"
#include "app/shell.h"
#include "bench/bench_support.h"
#include "link/com232.h"
#include "link/crc8.h"
#include "link/frame.h"
#include "live/display_refresh.h"
#include "live/go_loop.h"
#include "live/live_ui.h"
#include "platform/graph.h"
#include "platform/popups.h"
#include "platform/runtime.h"
#include "platform/widgets.h"
#include "sim/simulator.h"

#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

double gRunSeconds = 5;
double gMemorySeconds = 60;
fs::path gDir;

std::unique_ptr<sim::Simulator> StartSensor(bool tcp, bool pty, int lineBaud) {
    sim::Options o;
    o.tcp = tcp;
    o.tcpPort = 0;
    o.pty = pty;
    o.lineBaud = lineBaud;
    return bench::StartSensor(o);
}

bool StartProgram(sim::Simulator& s, bool serial, int baudIndex) {
    return bench::StartProgram(gDir, s, serial, baudIndex);
}

void ShowDataPage(bool threeD) {
    app::Panels& p = app::P();
    p.para.calculationMode->SetVal(threeD ? params::kXyInt3D : params::kXyInt2D);
    p.data.tabs->setTabVisible(live::kDataPage2D, !threeD);
    p.data.tabs->setTabVisible(live::kDataPage3D, threeD);
    p.data.tabs->setCurrentIndex(threeD ? live::kDataPage3D : live::kDataPage2D);
    for (int i = 0; i < 5; ++i) {
        platform::ProcessSystemEvents();
    }
}

struct GoRun {
    double seconds = 0;
    unsigned long long frames = 0;
    unsigned long long replots = 0;
    unsigned long long refreshes = 0;
    double threadCpu = 0;
};

// GO for `seconds`, then STOP; counts frames, graph replots and refreshes.
GoRun RunGo(double seconds) {
    app::Panels& p = app::P();
    unsigned long long replots = 0;
    std::vector<QMetaObject::Connection> counters;
    for (QWidget* w : p.main.window->findChildren<ctl::Graph*>()) {
        auto* g = static_cast<ctl::Graph*>(w);
        counters.push_back(QObject::connect(g, &QCustomPlot::afterReplot, [&] { ++replots; }));
    }
    app::P().refresh.ResetCounters();
    const auto frames0 = app::P().sensor.live.GoLoopCounters.frames;
    const double cpu0 = bench::ThreadCpuSeconds();
    QTimer stop;
    stop.setSingleShot(true);
    QObject::connect(&stop, &QTimer::timeout, [&] { p.main.stop->click(); });
    const double t0 = platform::Timer();
    stop.start(static_cast<int>(seconds * 1000));
    p.main.go->click();
    GoRun r;
    r.seconds = platform::Timer() - t0;
    r.threadCpu = bench::ThreadCpuSeconds() - cpu0;
    r.frames = app::P().sensor.live.GoLoopCounters.frames - frames0;
    r.replots = replots;
    r.refreshes = app::P().refresh.Counters().refreshes;
    for (auto& c : counters) {
        QObject::disconnect(c);
    }
    return r;
}

// ---- the bare clients --------------------------------------------------------

// Order-8 exchanges per second of a plain blocking client on `fd` for `seconds`.
double BareRate(int fd, double seconds) {
    uint8_t request[com232::kHeaderSize];
    com232::EncodeHeader(com232::kOrderLiveData, 0, 0, com232::kCrcInit, request);
    uint8_t answer[com232::kRxBufferSize];
    unsigned long long n = 0;
    const double t0 = platform::Timer();
    while (platform::Timer() - t0 < seconds) {
        if (write(fd, request, sizeof request) != static_cast<ssize_t>(sizeof request) ||
            !bench::ReadExactly(fd, answer, com232::kHeaderSize + 40)) {
            return 0;
        }
        ++n;
    }
    return n / (platform::Timer() - t0);
}

double BareTcpRate(uint16_t port, double seconds) {
    const int fd = bench::ConnectTcp(port);
    const double rate = fd < 0 ? 0 : BareRate(fd, seconds);
    if (fd >= 0) {
        close(fd);
    }
    return rate;
}

double BarePtyRate(const std::string& path, double seconds) {
    const int fd = bench::OpenRawSerial(path);
    const double rate = fd < 0 ? 0 : BareRate(fd, seconds);
    if (fd >= 0) {
        close(fd);
    }
    return rate;
}

// ---- the measurements ----------------------------------------------------------

// One GO run on the page shown, then the bare client again (the program
// gives the simulator's one connection back first); the run is set against
// the mean of the bare client's rates before and after it.
struct Bracketed {
    GoRun run;
    double fps = 0;
    double bareAfter = 0;
    double ratio = 0;
};

Bracketed GoThenBare(double bareBefore, const std::function<double()>& bare) {
    Bracketed b;
    b.run = RunGo(gRunSeconds);
    app::Shutdown();
    b.bareAfter = bare();
    b.fps = b.run.frames / b.run.seconds;
    const double mean = (bareBefore + b.bareAfter) / 2;
    b.ratio = mean > 0 ? b.fps / mean : 0;
    return b;
}

// The bare client is measured between the GO runs, and each run is set
// against the mean of the measurements before and after it: the loopback's
// rate drifts by a third between consecutive seconds on a busy machine.
double BlockingTcpLinkRate(uint16_t port, double seconds);

void TcpRuns() {
    auto sensor = StartSensor(true, false, 0);
    if (!sensor) {
        return;
    }
    double bareBefore = BareTcpRate(sensor->TcpPort(), gRunSeconds / 2);
    const double linkAlone = BlockingTcpLinkRate(sensor->TcpPort(), gRunSeconds / 2);
    std::printf("TCP: a blocking link without a window %.0f frames/s = %.0f %% of the bare "
                "client\n",
                linkAlone, bareBefore > 0 ? 100 * linkAlone / bareBefore : 0);
    std::vector<double> ratios;
    for (int round = 0; round < 3; ++round) {
        for (const bool threeD : {false, true}) {
            if (!StartProgram(*sensor, false, 4)) {
                std::printf("TCP: the program did not connect\n");
                return;
            }
            ShowDataPage(threeD);
            const Bracketed b = GoThenBare(
                bareBefore, [&] { return BareTcpRate(sensor->TcpPort(), gRunSeconds / 2); });
            const GoRun& r = b.run;
            ratios.push_back(b.ratio);
            std::printf("TCP GO, %s page, round %d: %.0f frames/s; bare client %.0f/s before, "
                        "%.0f/s after; ratio %.0f %%; replots %.1f/s; display refreshes %.1f/s; "
                        "window thread CPU %.0f %%\n",
                        threeD ? "3D" : "2D", round + 1, b.fps, bareBefore, b.bareAfter,
                        100 * ratios.back(), r.replots / r.seconds, r.refreshes / r.seconds,
                        100 * r.threadCpu / r.seconds);
            std::fflush(stdout);
            bareBefore = b.bareAfter;
        }
    }
    std::printf("TCP GO: median ratio to the bare client %.0f %% (goal >= 5000 frames/s and >= "
                "95 %%)\n",
                100 * bench::Median(ratios));
}

// Order-8 exchanges per second of a link that blocks on its transport (as
// a worker's does), without any window: what the link costs on the line.
double BlockingLinkRate(com232::SensorLink& link, double seconds) {
    if (!link.LinkOpen()) {
        return 0;
    }
    unsigned long long n = 0;
    const double t0 = platform::Timer();
    while (platform::Timer() - t0 < seconds) {
        link.FillTxBuf(com232::kOrderLiveData, 0, 0);
        if (link.DataExchange(static_cast<int>(com232::kHeaderSize)) != 1) {
            return 0;
        }
        ++n;
    }
    return n / (platform::Timer() - t0);
}

double BlockingSerialLinkRate(const std::string& path, int baudIndex, double seconds) {
    com232::SensorLink link(com232::WaitPolicy::Block);
    link.BaudrateIndex = static_cast<uint16_t>(baudIndex);
    link.InitRS232(path);
    return BlockingLinkRate(link, seconds);
}

double BlockingTcpLinkRate(uint16_t port, double seconds) {
    com232::SensorLink link(com232::WaitPolicy::Block);
    link.ServerAddress = "127.0.0.1";
    link.ServerAddress = "127.0.0.1";
    link.ServerPort = port;
    link.InitTCP_IP();
    return BlockingLinkRate(link, seconds);
}

void SerialRuns() {
    const struct {
        int baud;
        int index;
    } lines[] = {{115200, 4}, {921600, 7}};
    for (const auto& l : lines) {
        auto sensor = StartSensor(false, true, l.baud);
        if (!sensor) {
            return;
        }
        const double limit = l.baud / 560.0;
        double bareBefore = BarePtyRate(sensor->PtyPath(), gRunSeconds / 2);
        const double linkAlone =
            BlockingSerialLinkRate(sensor->PtyPath(), l.index, gRunSeconds / 2);
        std::printf("serial at %d baud: a blocking link without a window %.1f frames/s = %.1f %% "
                    "of the bare client\n",
                    l.baud, linkAlone, bareBefore > 0 ? 100 * linkAlone / bareBefore : 0);
        std::vector<double> ratios;
        for (int round = 0; round < 3; ++round) {
            if (!StartProgram(*sensor, true, l.index)) {
                std::printf("serial %d: the program did not connect\n", l.baud);
                app::Shutdown();
                break;
            }
            ShowDataPage(false);
            const Bracketed b = GoThenBare(
                bareBefore, [&] { return BarePtyRate(sensor->PtyPath(), gRunSeconds / 2); });
            const GoRun& r = b.run;
            ratios.push_back(b.ratio);
            std::printf("serial GO at %d baud, round %d: %.1f frames/s = %.1f %% of the line "
                        "limit %.1f/s (bare client on the same line model: %.1f/s before, "
                        "%.1f/s after); ratio to the bare client %.1f %%; window thread CPU "
                        "%.0f %%\n",
                        l.baud, round + 1, b.fps, 100 * b.fps / limit, limit, bareBefore,
                        b.bareAfter, 100 * ratios.back(), 100 * r.threadCpu / r.seconds);
            std::fflush(stdout);
            bareBefore = b.bareAfter;
        }
        if (!ratios.empty()) {
            std::printf("serial GO at %d baud: median ratio to the bare client %.1f %% (goal >= "
                        "97 %%)\n",
                        l.baud, 100 * bench::Median(ratios));
        }
    }
}

void SilentSensorCpu() {
    auto sensor = StartSensor(true, false, 0);
    if (!sensor || !StartProgram(*sensor, false, 4)) {
        return;
    }
    ShowDataPage(false);
    sensor->Command("fault drop order=8 count=0");
    const double cpu0 = bench::ThreadCpuSeconds();
    const double t0 = platform::Timer();
    app::P().main.go->click(); // ends by the answer time-out
    const double wall = platform::Timer() - t0;
    const double cpu = bench::ThreadCpuSeconds() - cpu0;
    std::printf("GO waiting on a sensor that does not answer: %.2f s until the time-out, program "
                "thread CPU %.3f s = %.1f %% of a core (goal < 5 %%)\n",
                wall, cpu, 100 * cpu / wall);
    app::Shutdown();
}

void MemoryRun() {
    auto sensor = StartSensor(true, false, 0);
    if (!sensor || !StartProgram(*sensor, false, 4)) {
        return;
    }
    ShowDataPage(true);
    RunGo(1); // everything allocated once
    const long before = bench::ResidentKiB();
    const GoRun r = RunGo(gMemorySeconds);
    const long after = bench::ResidentKiB();
    std::printf("resident memory: %ld KiB before, %ld KiB after %.0f s of GO (%llu frames): "
                "%+ld KiB\n",
                before, after, r.seconds, r.frames, after - before);
    app::Shutdown();
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (const char* s = getenv("C3_BENCH_GO_SECONDS")) {
        gRunSeconds = std::max(0.5, atof(s));
        gMemorySeconds = std::max(1.0, atof(s));
    }
    platform::InitRuntime(argc, argv);
    gDir = bench::MakeScratchDir("bench-go");
    platform::ScriptedPopups user; // no popup may block a run
    // C3_BENCH_GO_ONLY=tcp|serial|silent|memory runs one part (profiling).
    const std::string only = getenv("C3_BENCH_GO_ONLY") ? getenv("C3_BENCH_GO_ONLY") : "";
    if (only.empty() || only == "tcp") {
        TcpRuns();
    }
    if (only.empty() || only == "serial") {
        SerialRuns();
    }
    if (only.empty() || only == "silent") {
        SilentSensorCpu();
    }
    if (only.empty() || only == "memory") {
        MemoryRun();
    }
    if (!user.Records().empty()) {
        std::printf("note: %zu popups appeared, first: %s\n", user.Records().size(),
                    user.Records().front().text.c_str());
    }
    fs::remove_all(gDir);
    return 0;
}
