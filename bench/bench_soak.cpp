// A long run of GO against the simulated sensor (TCP, in-process), offscreen,
// with a fault injected into one live-data answer at random intervals: no
// answer, an answer after the time-out, an answer cut off after its header,
// a bad header or data CRC, an error answer, the connection closed, garbage,
// an oversized answer, and two that GO must ride out (an answer in small
// pieces, a slow answer within the time-out). After each failure the
// program reconnects through TRY TO CONNECT as a user would (any question
// answered OFFLINE, then TRY TO CONNECT again) and GO starts again.
//
// Prints per fault kind how often it was injected, failed GO, was recovered
// and the longest stall it caused; the frames, the longest stall between two
// frames overall, and resident memory at the start, every minute and at the
// end. Figures only; nothing is asserted.
//
// C3_BENCH_SOAK_SECONDS sets the length (default 600 s), C3_BENCH_SOAK_SEED
// the order and spacing of the faults (default 1); a fault comes 0.5 to 6 s
// after the previous one was resolved.
#include "app/panels.h"
#include "app/shell.h"
#include "bench/bench_support.h"
#include "link/com232.h"
#include "live/go_loop.h"
#include "platform/popups.h"
#include "platform/runtime.h"
#include "sim/simulator.h"

#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct FaultKind {
    const char* name;
    std::string spec; // the simulator's fault command without "fault"
    bool fails;       // GO must end on it; otherwise GO must ride it out
    int injected = 0;
    int failed = 0;
    int recovered = 0;
    int riddenOut = 0;
    double longestStall = 0;
};

std::vector<FaultKind> Faults() {
    const int late = static_cast<int>((app::P().sensor.link.AnswerTimeoutSeconds() + 0.5) * 1000);
    const std::string lateMs = std::to_string(late);
    return {
        {"no answer", "drop", true},
        {"answer after the time-out", "delay-header " + lateMs, true},
        {"data after the time-out", "delay-data " + lateMs, true},
        {"bad header CRC", "corrupt-header", true},
        {"bad data CRC", "corrupt-data", true},
        {"error answer 2", "error 2", true},
        {"connection closed", "close", true},
        {"garbage", "garbage 24", true},
        {"oversized answer", "oversize 3000", true},
        {"answer in 5-byte pieces", "split 5 2", false},
        {"slow answer (1 s)", "delay-header 1000", false},
    };
}

// The user: every question after a failed connection is answered OFFLINE,
// every other popup with its first button.
class User {
public:
    User() {
        platform::SetPopupHook([this](const platform::PopupRecord& r) {
            ++popups;
            platform::PopupAnswer a;
            a.result = 1;
            for (size_t i = 0; i < r.buttons.size(); ++i) {
                if (r.buttons[i] == "OFFLINE") {
                    a.result = static_cast<int>(i) + 1;
                    ++offline;
                }
            }
            lastText = r.text;
            return a;
        });
    }
    ~User() { platform::SetPopupHook(nullptr); }
    User(const User&) = delete;
    User& operator=(const User&) = delete;

    int popups = 0;
    int offline = 0;
    std::string lastText;
};

class Soak {
public:
    Soak(sim::Simulator& sensor, double seconds, unsigned seed)
        : sensor_(sensor), faults_(Faults()), rng_(seed), seconds_(seconds) {}

    // Starts the run; it goes on in the event loop and ends it when done.
    void Start();

private:
    // The steps, each a callback of the event loop as the user's presses
    // are, so that what a command leaves to the event loop (a closed
    // connection's notifier to delete) is done between two of them.
    void WarmUp();
    void Begin();
    void Go();
    void TryToConnect();
    void Finish();
    void Later(int ms, void (Soak::*step)());
    void Poll();
    void ScheduleNextFault() {
        nextFaultAt_ = platform::Timer() + std::uniform_real_distribution<double>(0.5, 6.0)(rng_);
    }
    void Report(const char* when) const;

    sim::Simulator& sensor_;
    std::vector<FaultKind> faults_;
    std::mt19937 rng_;
    double seconds_;
    User user_;
    QTimer poll_;

    double start_ = 0;
    double end_ = 0;
    double nextFaultAt_ = 0;
    double nextReportAt_ = 0;
    unsigned long long frames_ = 0; // at the last poll
    unsigned long long framesAtStart_ = 0;
    double lastFrameAt_ = 0;
    double longestStall_ = 0;
    int pending_ = -1; // the fault injected and not yet resolved
    int blame_ = -1;   // the fault the current stall is charged to
    unsigned long long framesAtInjection_ = 0;
    int unexplainedFailures_ = 0;
    int unrecovered_ = 0;
    int connectAttempts_ = 0;
    int attempts_ = 0; // of the current reconnection
    long rssStart_ = 0;
    std::vector<long> rssMinutes_;
};

void Soak::Poll() {
    const double now = platform::Timer();
    const unsigned long long frames = app::P().sensor.live.GoLoopCounters.frames;
    if (frames != frames_) {
        const double stall = now - lastFrameAt_;
        longestStall_ = std::max(longestStall_, stall);
        if (blame_ >= 0) {
            FaultKind& f = faults_[static_cast<size_t>(blame_)];
            f.longestStall = std::max(f.longestStall, stall);
            if (pending_ < 0) {
                blame_ = -1;
            }
        }
        frames_ = frames;
        lastFrameAt_ = now;
    }
    if (!app::P().sensor.live.GoRunning || app::P().sensor.link.AcquisitionRunning != 1) {
        return;
    }
    if (now >= end_) {
        app::P().main.stop->click();
        return;
    }
    if (pending_ >= 0 && frames >= framesAtInjection_ + 3) {
        // Three frames after it: the faulty answer has passed without ending GO.
        ++faults_[static_cast<size_t>(pending_)].riddenOut;
        pending_ = -1;
        ScheduleNextFault();
    } else if (pending_ < 0 && now >= nextFaultAt_) {
        pending_ =
            std::uniform_int_distribution<int>(0, static_cast<int>(faults_.size()) - 1)(rng_);
        blame_ = pending_;
        FaultKind& f = faults_[static_cast<size_t>(pending_)];
        ++f.injected;
        sensor_.Command("fault " + f.spec + " order=8");
        framesAtInjection_ = frames;
    }
    if (now >= nextReportAt_) {
        rssMinutes_.push_back(bench::ResidentKiB());
        Report("");
        nextReportAt_ += 60;
    }
}

void Soak::Report(const char* when) const {
    const double t = platform::Timer() - start_;
    int injected = 0;
    int failed = 0;
    int recovered = 0;
    for (const FaultKind& f : faults_) {
        injected += f.injected;
        failed += f.failed;
        recovered += f.recovered;
    }
    std::printf("%s[%4.0f s] frames %llu (%.0f/s), faults %d, GO failures %d, recovered %d, "
                "longest stall %.3f s, resident %ld KiB\n",
                when, t, frames_ - framesAtStart_, (frames_ - framesAtStart_) / std::max(t, 1e-9),
                injected, failed, recovered, longestStall_, bench::ResidentKiB());
    std::fflush(stdout);
}

void Soak::Later(int ms, void (Soak::*step)()) {
    QTimer::singleShot(ms, [this, step] { (this->*step)(); });
}

void Soak::Start() {
    QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
    poll_.setInterval(2);
    // One short GO without faults, so that everything a run allocates once is there.
    start_ = platform::Timer();
    end_ = start_ + 2;
    nextFaultAt_ = nextReportAt_ = end_ + 1e9;
    poll_.start();
    Later(0, &Soak::WarmUp);
}

void Soak::WarmUp() {
    app::P().main.go->click(); // STOP comes from Poll
    Later(0, &Soak::Begin);
}

void Soak::Begin() {
    rssStart_ = bench::ResidentKiB();
    start_ = platform::Timer();
    end_ = start_ + seconds_;
    nextReportAt_ = start_ + 60;
    lastFrameAt_ = start_;
    frames_ = framesAtStart_ = app::P().sensor.live.GoLoopCounters.frames;
    ScheduleNextFault();
    Later(0, &Soak::Go);
}

void Soak::Go() {
    if (platform::Timer() >= end_) {
        Finish();
        return;
    }
    const unsigned long long failuresBefore = app::P().sensor.live.GoLoopCounters.failures;
    app::P().main.go->click(); // until a failure or the end
    if (app::P().sensor.live.GoLoopCounters.failures == failuresBefore &&
        app::P().sensor.link.LinkOk == 1) {
        Later(0, &Soak::Go);
        return;
    }
    if (pending_ >= 0) {
        ++faults_[static_cast<size_t>(pending_)].failed;
    } else {
        ++unexplainedFailures_;
    }
    sensor_.Command("fault clear");
    attempts_ = 0;
    Later(0, &Soak::TryToConnect);
}

// TRY TO CONNECT until the sensor is back (a late answer or a closed
// connection may need a second try), a quarter of a second apart.
void Soak::TryToConnect() {
    ++connectAttempts_;
    ++attempts_;
    app::P().connect.tryToConnect->click();
    if (app::P().sensor.link.LinkOk == 1 && app::P().sensor.link.LinkOpen()) {
        if (pending_ >= 0) {
            ++faults_[static_cast<size_t>(pending_)].recovered;
        }
        // The stall stays charged to the fault (blame_) until GO shows the
        // next frame.
        pending_ = -1;
        ScheduleNextFault();
        Later(0, &Soak::Go);
        return;
    }
    if (attempts_ >= 20) {
        ++unrecovered_;
        std::printf("the sensor could not be reached again: %s\n", user_.lastText.c_str());
        Finish();
        return;
    }
    Later(250, &Soak::TryToConnect);
}

void Soak::Finish() {
    poll_.stop();
    frames_ = app::P().sensor.live.GoLoopCounters.frames;
    Report("end ");

    std::printf("\n%-28s %8s %8s %9s %10s %12s\n", "fault", "injected", "GO ended", "recovered",
                "ridden out", "worst stall");
    int injected = 0;
    int shouldFail = 0;
    int recovered = 0;
    int wrongOutcome = 0;
    for (const FaultKind& f : faults_) {
        std::printf("%-28s %8d %8d %9d %10d %10.3f s\n", f.name, f.injected, f.failed, f.recovered,
                    f.riddenOut, f.longestStall);
        injected += f.injected;
        shouldFail += f.fails ? f.failed : 0;
        recovered += f.fails ? f.recovered : 0;
        wrongOutcome += f.fails ? f.riddenOut : f.failed;
    }
    const double t = platform::Timer() - start_;
    std::printf("\n%.0f s of GO: %llu frames (%.0f/s), %d faults injected, %d ended GO, %d of "
                "them recovered through TRY TO CONNECT (%d attempts), %d unrecovered; %d with "
                "an unexpected outcome; %d failures without a fault; longest stall between two "
                "frames %.3f s; %d popups answered (%d OFFLINE)\n",
                t, frames_ - framesAtStart_, (frames_ - framesAtStart_) / t, injected, shouldFail,
                recovered, connectAttempts_, unrecovered_, wrongOutcome, unexplainedFailures_,
                longestStall_, user_.popups, user_.offline);
    const long rssEnd = bench::ResidentKiB();
    std::printf("resident memory: %ld KiB at the start, %ld KiB at the end (%+ld KiB); per "
                "minute:",
                rssStart_, rssEnd, rssEnd - rssStart_);
    for (long kib : rssMinutes_) {
        std::printf(" %ld", kib);
    }
    std::printf("\n(goal: every fault that ends GO recovered, no memory growth beyond noise)\n");
    std::fflush(stdout);
    platform::QuitUserInterface(0);
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    double seconds = 600;
    if (const char* s = getenv("C3_BENCH_SOAK_SECONDS")) {
        seconds = std::max(5.0, atof(s));
    }
    unsigned seed = 1;
    if (const char* s = getenv("C3_BENCH_SOAK_SEED")) {
        seed = static_cast<unsigned>(atol(s));
    }
    platform::InitRuntime(argc, argv);
    const fs::path dir = bench::MakeScratchDir("bench-soak");
    sim::Options o;
    o.tcp = true;
    o.tcpPort = 0;
    std::unique_ptr<sim::Simulator> sensor = bench::StartSensor(o);
    if (!sensor) {
        return 1;
    }
    std::printf("GO soak: %.0f s against the simulated sensor over TCP, faults every 0.5..6 s "
                "(seed %u), answer time-out %.1f s\n",
                seconds, seed, app::P().sensor.link.AnswerTimeoutSeconds());
    std::fflush(stdout);
    {
        Soak soak(*sensor, seconds, seed);
        if (!bench::StartProgram(dir, *sensor)) {
            std::printf("the program did not connect\n");
            app::Shutdown();
            return 1;
        }
        soak.Start();
        platform::RunUserInterface();
        app::Shutdown();
    }
    fs::remove_all(dir);
    return 0;
}
