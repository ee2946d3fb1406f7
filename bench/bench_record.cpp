// The recorder against the simulated sensor, offscreen:
//  - timed recording at 0.25 s over 200 frames: the period from request
//    start to request start (mean and worst deviation), the drift over the
//    run, and the CPU time of the program's thread (nearly all of it spent
//    waiting between requests);
//  - triggered recording over TCP with the simulator triggering as fast as
//    it can: frames per second written, and frames the simulator sent
//    against lines in the file (the simulator also reports frames it had to
//    drop for a client that does not keep up).
// Figures only; nothing is asserted. C3_BENCH_RECORD_FRAMES sets the frames
// of the timed run (default 200), C3_BENCH_RECORD_SECONDS the length of
// each triggered run (default 5 s); C3_BENCH_RECORD_ONLY=timed|triggered.
#include "app/panels.h"
#include "app/shell.h"
#include "bench/bench_support.h"
#include "link/com232.h"
#include "platform/popups.h"
#include "platform/runtime.h"
#include "platform/widgets.h"
#include "record/recorder.h"
#include "record/recorder_logic.h"
#include "sim/simulator.h"

#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

int gFrames = 200;
double gTriggerSeconds = 5;
fs::path gDir;
std::vector<double> gRequestTimes;

void NoteRequest(double t) {
    gRequestTimes.push_back(t);
}

std::unique_ptr<sim::Simulator> StartSensor() {
    sim::Options o;
    o.tcp = true;
    o.tcpPort = 0;
    auto s = bench::StartSensor(o);
    if (s) {
        s->Command("scene noise 0");
        s->Command("scene color 1000 2000 3000");
    }
    return s;
}

// Chooses a fresh record file through the (scripted) file dialog.
std::string ChooseFile(platform::ScriptedPopups& user, const std::string& name) {
    const std::string path = (gDir / name).string();
    user.Answer(platform::kNewFileSelected, path);
    app::P().recorderView->SelRecFile();
    return path;
}

void SelectMode(int mode) {
    app::P().recorder.mode->SetVal(mode);
    app::P().recorderView->CBF_EditSelectDataRec(app::P().recorder.mode, ctl::Event::Commit);
}

long DataLinesIn(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    const std::string text = s.str();
    const size_t columns = text.find("\tTEMP\r\n");
    if (columns == std::string::npos) {
        return 0;
    }
    long lines = 0;
    for (size_t at = text.find("\r\n", columns + 7); at != std::string::npos;
         at = text.find("\r\n", at + 2)) {
        ++lines;
    }
    return lines;
}

// A number after "key=" in the simulator's status line.
void TimedRun(platform::ScriptedPopups& user) {
    const std::string path = ChooseFile(user, "timed.dat");
    record::RecorderPage& r = app::P().recorder;
    SelectMode(record::kModeTimedCount);
    r.interval->SetVal(0.25);
    r.count->SetVal(gFrames);
    gRequestTimes.clear();
    gRequestTimes.reserve(static_cast<size_t>(gFrames) + 1);
    app::P().recorderView->SetCycleHook(NoteRequest);
    const double cpu0 = bench::ThreadCpuSeconds();
    const double t0 = platform::Timer();
    r.startRecord->click();
    const double wall = platform::Timer() - t0;
    const double cpu = bench::ThreadCpuSeconds() - cpu0;
    app::P().recorderView->SetCycleHook(nullptr);
    const size_t n = gRequestTimes.size();
    if (n < 2) {
        std::printf("timed recording: no requests\n");
        return;
    }
    double sum = 0;
    double worst = 0;
    for (size_t i = 1; i < n; ++i) {
        const double p = gRequestTimes[i] - gRequestTimes[i - 1];
        sum += p;
        worst = std::max(worst, std::fabs(p - 0.25));
    }
    const double mean = sum / static_cast<double>(n - 1);
    const double drift =
        (gRequestTimes[n - 1] - gRequestTimes[0]) - 0.25 * static_cast<double>(n - 1);
    std::printf("timed recording, 0.25 s x %d: %zu requests, %ld lines; mean period %.4f s "
                "(deviation %+.3f ms, goal within 2 ms), worst deviation %.3f ms, drift over "
                "the run %+.3f ms (goal none)\n",
                gFrames, n, DataLinesIn(path), mean, 1000 * (mean - 0.25), 1000 * worst,
                1000 * drift);
    std::printf("timed recording: program thread CPU %.3f s in %.1f s = %.2f %% of a core "
                "(goal < 5 %%)\n",
                cpu, wall, 100 * cpu / wall);
    std::fflush(stdout);
}

// Triggered recording while a thread on the simulator's side fires the
// trigger command as fast as it can.
void TriggeredRun(sim::Simulator& s, platform::ScriptedPopups& user) {
    const std::string path = ChooseFile(user, "triggered.dat");
    SelectMode(record::kModeTriggered);
    const unsigned long long sent0 = bench::StatusValue(s, "auto-sent");
    const unsigned long long dropped0 = bench::StatusValue(s, "dropped");
    std::atomic<bool> fire{false};
    std::atomic<bool> done{false};
    long written = 0;
    double fireStart = 0;
    double fireEnd = 0;
    std::thread trigger([&] {
        while (!fire.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        const double end = platform::Timer() + gTriggerSeconds;
        while (platform::Timer() < end) {
            s.Command("trigger");
        }
        done.store(true);
    });
    QTimer poll;
    poll.setInterval(1);
    double settledAt = 0;
    long lastWritten = -1;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!app::P().recorderView->State().running ||
            app::P().sensor.link.AcquisitionRunning != 1) {
            return;
        }
        written = static_cast<long>(app::P().recorderView->State().runCounter);
        if (!fire.load()) {
            fireStart = platform::Timer();
            fire.store(true);
            return;
        }
        if (!done.load()) {
            return;
        }
        if (fireEnd == 0) {
            fireEnd = platform::Timer();
        }
        // Done firing: wait until the last frame is written (no progress for 0.5 s).
        if (written != lastWritten) {
            lastWritten = written;
            settledAt = platform::Timer();
        } else if (platform::Timer() - settledAt > 0.5) {
            poll.stop();
            app::P().recorder.stopRecord->click();
        }
    });
    poll.start();
    app::P().recorder.startTrigRec->click();
    poll.stop();
    trigger.join();
    const unsigned long long sent = bench::StatusValue(s, "auto-sent") - sent0;
    const unsigned long long dropped = bench::StatusValue(s, "dropped") - dropped0;
    const long lines = DataLinesIn(path);
    const double seconds = fireEnd - fireStart;
    std::printf("triggered recording over TCP, simulator triggering as fast as it can: %.0f "
                "frames/s written over %.1f s; the simulator sent %llu frames (%llu of them "
                "dropped unsent for a client not keeping up); the file has %ld lines: %lld "
                "lost (goal none)\n",
                static_cast<double>(lines) / seconds, seconds, sent, dropped, lines,
                static_cast<long long>(sent) - lines);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (const char* f = getenv("C3_BENCH_RECORD_FRAMES")) {
        gFrames = std::max(2, atoi(f));
    }
    if (const char* s = getenv("C3_BENCH_RECORD_SECONDS")) {
        gTriggerSeconds = std::max(0.5, atof(s));
    }
    const std::string only = getenv("C3_BENCH_RECORD_ONLY") ? getenv("C3_BENCH_RECORD_ONLY") : "";
    platform::InitRuntime(argc, argv);
    gDir = bench::MakeScratchDir("bench-record");
    platform::ScriptedPopups user; // every question answered yes, no popup blocks a run
    auto sensor = StartSensor();
    if (!sensor || !bench::StartProgram(gDir, *sensor)) {
        std::printf("the program did not connect\n");
        return 1;
    }
    if (only.empty() || only == "timed") {
        TimedRun(user);
    }
    if (only.empty() || only == "triggered") {
        TriggeredRun(*sensor, user);
    }
    app::Shutdown();
    fs::remove_all(gDir);
    return 0;
}
