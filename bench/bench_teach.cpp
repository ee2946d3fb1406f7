// The graph teach panel and the teach-table graphs, offscreen, against the
// simulated sensor over TCP:
//  - recording frames per second with 1 000 points already recorded and
//    with 59 000 (the last 1 000 up to the 60 000 cap), and the ratio of
//    the two (goal: at most 1.2), with the replots per second;
//  - one replot of a view holding 60 000 points: new dots only, and all of
//    them after an axis change;
//  - one cursor search over 60 000 points (worst case: the last point, and
//    no match), the whole cursor commit, and a mouse drag with snapping;
//  - resident memory before recording and with 60 000 points;
//  - InitGraphs with 31 taught rows.
// Figures only; nothing is asserted. C3_BENCH_TEACH_ROUNDS sets the rounds
// per recording figure (default 15); the median is printed.
#include "app/panels.h"
#include "app/shell.h"
#include "bench/bench_support.h"
#include "link/com232.h"
#include "live/display_refresh.h"
#include "live/graphs.h"
#include "live/live_data.h"
#include "platform/graph.h"
#include "platform/popups.h"
#include "platform/runtime.h"
#include "platform/widgets.h"
#include "sim/simulator.h"
#include "teach/recorded_points.h"
#include "teach/teach_view.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

int gRounds = 15;
fs::path gDir;

// A frame of a colour cloud, as material passing the sensor gives it.
void SyntheticFrame(int i) {
    live::LiveDataFrameBytes& f = app::P().sensor.frames.CurrentForEdit();
    const double t = i * 0.001;
    f.set(live::kX, static_cast<int16_t>(330 + 200 * std::sin(t * 7.1) + (i % 37)));
    f.set(live::kY, static_cast<int16_t>(330 + 150 * std::cos(t * 5.3) + (i % 23)));
    f.set(live::kInt, static_cast<int16_t>(1500 + 1000 * std::sin(t * 3.7) + (i % 101)));
    f.set(live::kRed, static_cast<int16_t>(1000 + i % 2000));
    f.set(live::kGreen, static_cast<int16_t>(900));
    f.set(live::kBlue, static_cast<int16_t>(800));
}

// The program's graph teach panel.
teach::GraphTeachView& GraphTeach() {
    return app::P().teachViews->Graph();
}

// Empties the buffer and records `points` synthetic points (not timed).
void Preload(int points) {
    GraphTeach().ResetRecordedPoints();
    for (int i = 0; i < points; ++i) {
        SyntheticFrame(i);
        GraphTeach().SetTP2Data();
    }
    app::P().refresh.Flush();
    bench::Settle();
}

struct Recording {
    double fps = 0;
    double replotsPerSecond = 0;
};

// START with `preloaded` points; ends after `frames` more points (or at the cap).
Recording Record(int preloaded, int frames) {
    app::Panels& p = app::P();
    Preload(preloaded);
    unsigned long long replots = 0;
    std::vector<QMetaObject::Connection> counters;
    for (ctl::Graph* g : p.teachGraph.graph) {
        counters.push_back(QObject::connect(g, &QCustomPlot::afterReplot, [&] { ++replots; }));
    }
    QTimer stop;
    stop.setInterval(1);
    QObject::connect(&stop, &QTimer::timeout, [&] {
        if (GraphTeach().RecordCount() >= preloaded + frames) {
            app::P().sensor.link.AcquisitionRunning = 0;
        }
    });
    stop.start();
    const double t0 = platform::Timer();
    p.teachGraph.start->click();
    const double seconds = platform::Timer() - t0;
    stop.stop();
    for (auto& c : counters) {
        QObject::disconnect(c);
    }
    const int recorded = GraphTeach().RecordCount() - preloaded;
    return {recorded / seconds, replots / 3.0 / seconds};
}

void RecordingRuns() {
    std::vector<double> few;
    std::vector<double> many;
    for (int round = 0; round < gRounds; ++round) {
        const Recording a = Record(1000, 1000);
        const Recording b = Record(59000, 1000);
        few.push_back(a.fps);
        many.push_back(b.fps);
        std::printf("recording round %d: %.0f frames/s with 1 000 points (%.0f replots/s per "
                    "view), %.0f frames/s with 59 000 (%.0f replots/s)\n",
                    round + 1, a.fps, a.replotsPerSecond, b.fps, b.replotsPerSecond);
        std::fflush(stdout);
    }
    const Recording steady = Record(0, 40000);
    std::printf("recording 40 000 frames from an empty buffer: %.0f frames/s, %.1f replots/s per "
                "view\n",
                steady.fps, steady.replotsPerSecond);
    const double ratio = bench::Median(few) / bench::Median(many);
    const double best =
        *std::max_element(few.begin(), few.end()) / *std::max_element(many.begin(), many.end());
    std::printf("recording: median %.0f frames/s with 1 000 points, %.0f with 59 000; ratio %.2f "
                "(goal <= 1.2); ratio of the best rounds %.2f\n",
                bench::Median(few), bench::Median(many), ratio, best);
}

double MicrosecondsPer(int repeats, const std::function<void()>& work) {
    const double t0 = platform::Timer();
    for (int i = 0; i < repeats; ++i) {
        work();
    }
    return (platform::Timer() - t0) / repeats * 1e6;
}

void ReplotRuns() {
    ctl::Graph* g = app::P().teachGraph.graph[teach::kViewXY];
    Preload(59000);
    g->replot(QCustomPlot::rpImmediateRefresh);
    int i = 59000;
    const double incremental = MicrosecondsPer(200, [&] {
        SyntheticFrame(i++);
        GraphTeach().SetTP2Data();
        g->replot(QCustomPlot::rpImmediateRefresh);
    });
    bool flip = false;
    const double full = MicrosecondsPer(20, [&] {
        flip = !flip;
        g->SetXRange(0, flip ? 1001 : 1000); // every dot at a new place
        g->replot(QCustomPlot::rpImmediateRefresh);
    });
    std::printf("one replot of a view with %d points: %.0f us with one new point, %.0f us after "
                "an axis change (all points painted)\n",
                GraphTeach().RecordCount(), incremental, full);
}

void CursorRuns() {
    Preload(teach::kMaxRecordedPoints);
    const teach::PointBuffer& points = app::P().sensor.teach.RecordedPoints;
    const teach::RecordedPoint last = points.At(teach::kMaxRecordedPoints - 1);
    volatile int sink = 0;
    const double lastPoint = MicrosecondsPer(200, [&] {
        sink = sink + teach::FindRecordedPoint(points, teach::kViewYInt, last.y, last.intensity);
    });
    const double noMatch = MicrosecondsPer(
        200, [&] { sink = sink + teach::FindRecordedPoint(points, teach::kViewXY, -5, -5); });
    ctl::Graph* g = app::P().teachGraph.graph[teach::kViewYInt];
    const double commit = MicrosecondsPer(50, [&] {
        g->SetCursor(0, last.y, last.intensity);
        GraphTeach().CBF_GraphYIntTP2(nullptr, ctl::Event::Commit);
    });
    g->replot(QCustomPlot::rpImmediateRefresh);
    const QPointF at(g->xAxis->coordToPixel(last.y), g->yAxis->coordToPixel(last.intensity));
    const double drag = MicrosecondsPer(20, [&] {
        QMouseEvent press(QEvent::MouseButtonPress, at, g->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, g->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(g, &press);
        QApplication::sendEvent(g, &release);
    });
    std::printf("cursor search over %d points: %.0f us for the last point, %.0f us with no "
                "match; cursor commit (search, displays, three cursors) %.0f us; mouse press and "
                "release with snapping %.0f us\n",
                GraphTeach().RecordCount(), lastPoint, noMatch, commit, drag);
}

void MemoryRun() {
    GraphTeach().ResetRecordedPoints();
    bench::Settle();
    const long before = bench::ResidentKiB();
    Preload(teach::kMaxRecordedPoints);
    for (ctl::Graph* g : app::P().teachGraph.graph) {
        g->replot(QCustomPlot::rpImmediateRefresh);
    }
    const long after = bench::ResidentKiB();
    std::printf("resident memory: %ld KiB with no points, %ld KiB with %d points in the buffer "
                "and the three views: %+ld KiB\n",
                before, after, GraphTeach().RecordCount(), after - before);
}

void InitGraphsRun() {
    app::Panels& p = app::P();
    ctl::U16Table* grid = p.teachPage.grid;
    for (int r = 1; r <= 31; ++r) {
        const int cells[5] = {200 + 20 * r, 150 + 15 * r, 30 + r, 800 + 90 * r, 60 + r};
        for (int c = 1; c <= 5; ++c) {
            grid->SetVal(r, c, cells[c - 1]);
        }
    }
    const double us = MicrosecondsPer(200, [] { app::P().liveViews->graphs.InitGraphs(); });
    std::printf("InitGraphs with 31 taught rows: %.0f us\n", us);
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (const char* r = getenv("C3_BENCH_TEACH_ROUNDS")) {
        gRounds = std::max(1, atoi(r));
    }
    platform::InitRuntime(argc, argv);
    gDir = bench::MakeScratchDir("bench-teach");
    platform::ScriptedPopups user; // no popup may block a run
    sim::Options o;
    o.tcp = true;
    o.tcpPort = 0;
    auto sensor = std::make_unique<sim::Simulator>(o);
    std::string error;
    if (!sensor->Start(&error) || !bench::StartProgram(gDir, *sensor)) {
        std::printf("the program did not connect to the simulator: %s\n", error.c_str());
        return 1;
    }
    app::P().teachPage.teachRecordedValues->click(); // the graph teach panel on show
    bench::Settle();
    MemoryRun(); // first, before the other runs have touched the buffer
    RecordingRuns();
    ReplotRuns();
    CursorRuns();
    InitGraphsRun();
    if (!user.Records().empty()) {
        std::printf("note: %zu popups appeared, first: %s\n", user.Records().size(),
                    user.Records().front().text.c_str());
    }
    app::Shutdown();
    fs::remove_all(gDir);
    return 0;
}
