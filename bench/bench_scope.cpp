// Scope captures against the simulated sensor, offscreen, with the scope
// panel showing:
//  - SCAN-to-plot time (from the click until both graphs show the capture)
//    of a SINGLE SHOT capture over TCP and over a
//    pseudo-terminal, both with the simulator's line model at 115 200 baud,
//    against the line time of the bytes exchanged (request, acknowledgment,
//    four blocks) plus the sensor's own sampling time plus one plot, and
//    against a bare blocking client doing the same capture;
//  - the time of one plot (both graphs drawn);
//  - CPU time of the program's thread while a capture waits for a trigger
//    that never comes, on both links.
// Figures only; nothing is asserted. C3_BENCH_SCOPE_RUNS sets the number of
// captures per link (default 15), C3_BENCH_SCOPE_WAIT the seconds of the
// trigger wait (default 5).
#include "app/panels.h"
#include "app/shell.h"
#include "bench/bench_support.h"
#include "link/com232.h"
#include "link/frame.h"
#include "platform/graph.h"
#include "platform/popups.h"
#include "platform/runtime.h"
#include "platform/tab_control.h"
#include "platform/widgets.h"
#include "scope/scope.h"
#include "sim/simulator.h"

#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kLineBaud = 115200;
constexpr int kBaudIndex = 4; // 115200
// The sensor scans every 2 µs here, so its 128 samples take 0.256 ms and
// the figures are about the link and the program.
constexpr double kCycleUs = 2;
int gRuns = 15;
double gWaitSeconds = 5;
fs::path gDir;

std::unique_ptr<sim::Simulator> StartSensor(bool serial) {
    sim::Options o;
    o.tcp = !serial;
    o.tcpPort = 0;
    o.pty = serial;
    o.lineBaud = kLineBaud;
    o.cycleUs = kCycleUs;
    o.noise = 6;
    return bench::StartSensor(o);
}

bool StartProgram(sim::Simulator& s, bool serial) {
    if (!bench::StartProgram(gDir, s, serial, kBaudIndex)) {
        return false;
    }
    app::P().main.tabs->PageButton(app::kPageScope)->click();
    for (int i = 0; i < 5; ++i) {
        platform::ProcessSystemEvents();
    }
    return true;
}

// ---- a bare client: the same capture without the program -----------------------

// Median time of a SINGLE SHOT capture by a plain blocking client on `fd`:
// request out, acknowledgment and four blocks in.
double BareCapture(int fd) {
    uint8_t request[com232::kHeaderSize + scope::kScopeSettingsSize];
    uint8_t settings[scope::kScopeSettingsSize];
    scope::EncodeScopeSettings({0, scope::kSingleShot, 0, 1, 0}, settings);
    com232::EncodeFrame(com232::kOrderScope, 1, settings, scope::kScopeSettingsSize, request);
    uint8_t answer[com232::kHeaderSize + scope::kScopeBlocks * scope::kScopeBlockFrame];
    std::vector<double> times;
    for (int i = 0; i < gRuns; ++i) {
        const double t0 = platform::Timer();
        if (write(fd, request, sizeof request) != static_cast<ssize_t>(sizeof request) ||
            !bench::ReadExactly(fd, answer, sizeof answer)) {
            return 0;
        }
        times.push_back(platform::Timer() - t0);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double BareTcpCapture(uint16_t port) {
    const int fd = bench::ConnectTcp(port);
    const double t = fd < 0 ? 0 : BareCapture(fd);
    if (fd >= 0) {
        close(fd);
    }
    return t;
}

double BarePtyCapture(const std::string& path) {
    const int fd = bench::OpenRawSerial(path);
    const double t = fd < 0 ? 0 : BareCapture(fd);
    if (fd >= 0) {
        close(fd);
    }
    return t;
}

// Draws both graphs now (what the queued replot does on the next pass).
void PlotNow() {
    app::P().scope.scope->replot(QCustomPlot::rpImmediateRefresh);
    app::P().scope.digital->replot(QCustomPlot::rpImmediateRefresh);
}

void SetScope(int mode, int level, int preTrigger) {
    scope::ScopePage& s = app::P().scopePage;
    s.triggerMode->SetVal(mode);
    s.triggerLevel->SetVal(level);
    s.preTrigger->SetVal(preTrigger);
    s.scanRate->SetVal(1);
    s.recordSignal->SetVal(0);
}

void ScanToPlot(bool serial) {
    const char* link = serial ? "pseudo-terminal" : "TCP";
    auto sensor = StartSensor(serial);
    if (!sensor) {
        return;
    }
    // The bare client first: the simulator serves one TCP client at a time.
    const double bare =
        serial ? BarePtyCapture(sensor->PtyPath()) : BareTcpCapture(sensor->TcpPort());
    if (!StartProgram(*sensor, serial)) {
        std::printf("%s: the program did not connect\n", link);
        app::Shutdown();
        return;
    }
    SetScope(scope::kSingleShot, 0, 0);
    std::vector<double> scans;
    std::vector<double> plots;
    int failed = 0;
    for (int i = 0; i < gRuns; ++i) {
        // The capture is on screen when the digital graph, drawn after the
        // scope graph, has been drawn with it.
        const auto before = app::P().scopeView->State().captures;
        double drawn = 0;
        const auto hook = QObject::connect(app::P().scope.digital, &QCustomPlot::afterReplot, [&] {
            if (app::P().scopeView->State().captures > before && drawn == 0) {
                drawn = platform::Timer();
            }
        });
        const double t0 = platform::Timer();
        app::P().scopePage.scan->click();
        if (drawn == 0) {
            PlotNow();
        }
        QObject::disconnect(hook);
        const double t1 = drawn;
        if (app::P().scopeView->State().captures == before) {
            ++failed;
            continue;
        }
        scans.push_back(t1 - t0);
        // One plot alone: the capture taken again and both graphs drawn.
        const double p0 = platform::Timer();
        app::P().scopeView->TakeCapture(app::P().scopeView->State().ScopeBlocks);
        PlotNow();
        plots.push_back(platform::Timer() - p0);
    }
    // Request 8 + 10 bytes, acknowledgment 8, four blocks of 266; 10 bit times a byte.
    const double bytes = 18 + 8 + 4 * 266;
    const double line = bytes * 10 / kLineBaud;
    const double sampling = 128 * kCycleUs * 1e-6;
    const double plot = bench::Median(plots);
    const double scan = bench::Median(scans);
    const double expected = line + sampling + plot;
    std::printf("SCAN to plot, SINGLE SHOT over %s at %d baud: median %.1f ms of %zu captures "
                "(%d failed); line time of %.0f bytes %.1f ms + sampling %.2f ms + one plot "
                "%.1f ms = %.1f ms; excess %.1f ms = %.1f %% of the line time (goal <= 10 %%)\n",
                link, kLineBaud, 1e3 * scan, scans.size(), failed, bytes, 1e3 * line,
                1e3 * sampling, 1e3 * plot, 1e3 * expected, 1e3 * (scan - expected),
                100 * (scan - expected) / line);
    std::printf("  the same capture by a bare blocking client on the same simulator: median "
                "%.1f ms; the program takes %.1f ms more, of which %.1f ms draw the plot\n",
                1e3 * bare, 1e3 * (scan - bare), 1e3 * plot);
    std::fflush(stdout);
    app::Shutdown();
}

void WaitCpu(bool serial) {
    const char* link = serial ? "pseudo-terminal" : "TCP";
    auto sensor = StartSensor(serial);
    if (!sensor || !StartProgram(*sensor, serial)) {
        std::printf("%s: the program did not connect\n", link);
        app::Shutdown();
        return;
    }
    SetScope(scope::kRisingEdge, 4095, 20); // the blue line never passes 4095
    QTimer stop;
    stop.setSingleShot(true);
    stop.setTimerType(Qt::PreciseTimer);
    double cpu0 = 0;
    double t0 = 0;
    double cpu = 0;
    double wall = 0;
    // The measurement starts once the capture waits and ends as BREAK SCAN is pressed.
    QTimer start;
    start.setSingleShot(true);
    QObject::connect(&start, &QTimer::timeout, [&] {
        cpu0 = bench::ThreadCpuSeconds();
        t0 = platform::Timer();
        stop.start(static_cast<int>(gWaitSeconds * 1000));
    });
    QObject::connect(&stop, &QTimer::timeout, [&] {
        cpu = bench::ThreadCpuSeconds() - cpu0;
        wall = platform::Timer() - t0;
        app::P().scopePage.breakScan->click();
    });
    start.start(200);
    app::P().scopePage.scan->click();
    std::printf("capture waiting for a trigger that never comes, over %s: %.2f s, program "
                "thread CPU %.3f s = %.2f %% of a core (goal < 5 %%)\n",
                link, wall, cpu, wall > 0 ? 100 * cpu / wall : 0.0);
    std::fflush(stdout);
    app::Shutdown();
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (const char* s = getenv("C3_BENCH_SCOPE_RUNS")) {
        gRuns = std::max(1, atoi(s));
    }
    if (const char* s = getenv("C3_BENCH_SCOPE_WAIT")) {
        gWaitSeconds = std::max(0.5, atof(s));
    }
    platform::InitRuntime(argc, argv);
    gDir = bench::MakeScratchDir("bench-scope");
    platform::ScriptedPopups user; // no popup may block a run
    ScanToPlot(false);
    ScanToPlot(true);
    WaitCpu(false);
    WaitCpu(true);
    if (!user.Records().empty()) {
        std::printf("note: %zu popups appeared, first: %s\n", user.Records().size(),
                    user.Records().front().text.c_str());
    }
    fs::remove_all(gDir);
    return 0;
}
