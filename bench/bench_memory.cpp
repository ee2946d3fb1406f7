// The program's memory at rest against the simulated sensor (offscreen,
// 1200 x 800 window): resident and anonymous memory after start-up
// connected, after every page, child display panel and data tab was shown
// once and the first ones are back, and after a run of GO
// (C3_BENCH_MEMORY_GO_SECONDS, default 60 s). The simulator runs in a
// process of its own so that only the program is measured. Figures only.
#include "app/panels.h"
#include "app/shell.h"
#include "bench/bench_support.h"
#include "live/live_state.h"
#include "platform/popups.h"
#include "platform/runtime.h"
#include "platform/tab_control.h"
#include "sim/simulator.h"

#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Forks the simulator's process; it serves until `keepAlive` closes (this
// process ends). The port it listens on, 0 on failure.
uint16_t ForkSensor(int* keepAlive, pid_t* child) {
    int portPipe[2];
    int alivePipe[2];
    if (pipe(portPipe) != 0 || pipe(alivePipe) != 0) {
        return 0;
    }
    *child = fork();
    if (*child == 0) {
        close(portPipe[0]);
        close(alivePipe[1]);
        sim::Options o;
        o.tcpPort = 0;
        sim::Simulator s(o);
        std::string error;
        uint16_t port = s.Start(&error) ? s.TcpPort() : 0;
        if (write(portPipe[1], &port, sizeof port) != sizeof port) {
            _exit(1);
        }
        char c;
        while (read(alivePipe[0], &c, 1) > 0) {
        }
        s.Stop();
        _exit(0);
    }
    close(portPipe[1]);
    close(alivePipe[0]);
    *keepAlive = alivePipe[1];
    uint16_t port = 0;
    if (read(portPipe[0], &port, sizeof port) != sizeof port) {
        port = 0;
    }
    close(portPipe[0]);
    return port;
}

void Print(const char* when, const bench::MemoryKiB& m) {
    std::printf("%-44s resident %6.1f MB, anonymous %6.1f MB\n", when, m.resident / 1024.0,
                m.anonymous / 1024.0);
    std::fflush(stdout);
}

// Some event passes over a while, as the window idles.
void Idle(double seconds) {
    const double end = platform::Timer() + seconds;
    while (platform::Timer() < end) {
        platform::ProcessSystemEvents();
        usleep(10000);
    }
}

void ShowEveryPage() {
    app::Panels& p = app::P();
    const int firstPage = p.main.tabs->ActivePage();
    QWidget* firstChild = p.main.childArea->currentWidget();
    const int firstTab = p.data.tabs->currentIndex();
    for (int page = 0; page < p.main.tabs->PageCount(); ++page) {
        p.main.tabs->SetActivePage(page);
        bench::Settle();
    }
    for (QWidget* child : {p.data.panel, p.signalGraph.panel, p.teachMean.panel, p.teachGraph.panel,
                           p.scope.panel}) {
        p.main.childArea->setCurrentWidget(child);
        bench::Settle();
    }
    p.main.childArea->setCurrentWidget(p.data.panel);
    for (int tab = 0; tab < p.data.tabs->count(); ++tab) {
        p.data.tabs->setCurrentIndex(tab);
        bench::Settle();
    }
    p.data.tabs->setCurrentIndex(firstTab);
    p.main.childArea->setCurrentWidget(firstChild);
    p.main.tabs->SetActivePage(firstPage);
    bench::Settle();
}

unsigned long long RunGo(double seconds) {
    app::Panels& p = app::P();
    const auto frames0 = p.sensor.live.GoLoopCounters.frames;
    QTimer stop;
    stop.setSingleShot(true);
    QObject::connect(&stop, &QTimer::timeout, [&] { p.main.stop->click(); });
    stop.start(static_cast<int>(seconds * 1000));
    p.main.go->click();
    return p.sensor.live.GoLoopCounters.frames - frames0;
}

} // namespace

int main(int argc, char** argv) {
    int keepAlive = -1;
    pid_t child = -1;
    const uint16_t port = ForkSensor(&keepAlive, &child);
    if (port == 0) {
        std::fprintf(stderr, "the simulator did not start\n");
        return 1;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    double goSeconds = 60;
    if (const char* s = getenv("C3_BENCH_MEMORY_GO_SECONDS")) {
        goSeconds = std::max(1.0, atof(s));
    }
    platform::InitRuntime(argc, argv);
    const std::filesystem::path dir = bench::MakeScratchDir("bench-memory");
    platform::ScriptedPopups user; // no popup may block a run
    int rc = 0;
    if (bench::StartProgramOnTcp(dir, port)) {
        Idle(1);
        Print("after start-up, connected:", bench::ReadMemory());
        ShowEveryPage();
        Idle(1);
        Print("after every page shown, back on the first:", bench::ReadMemory());
        const unsigned long long frames = RunGo(goSeconds);
        Idle(1);
        char when[64];
        std::snprintf(when, sizeof when, "after %.0f s of GO (%llu frames):", goSeconds, frames);
        Print(when, bench::ReadMemory());
        std::printf("(goal: <= 60 MB resident, <= 30 MB anonymous)\n");
    } else {
        std::printf("the program did not connect\n");
        rc = 1;
    }
    if (!user.Records().empty()) {
        std::printf("note: %zu popups appeared, first: %s\n", user.Records().size(),
                    user.Records().front().text.c_str());
    }
    app::Shutdown();
    close(keepAlive);
    waitpid(child, nullptr, 0);
    std::filesystem::remove_all(dir);
    return rc;
}
