// The record viewer on big record files, offscreen: for 100 000 and for
// 1 000 000 lines the time to read the file into the window, the resident
// memory that adds, a full redraw at full zoom-out (the reduction of the
// shown fields to pixel columns, the figures, the colour plane and the
// replots) and one zoom step of the time axis (the wheel's factor, around
// the middle: the series and the figures of the frames in view). Each size runs in a
// process of its own, so the memory of one does not hide in the other.
// Figures only; nothing is asserted.
#include "bench/bench_support.h"
#include "params/parameter_model.h"
#include "platform/graph.h"
#include "platform/runtime.h"
#include "record/record_file.h"
#include "record/record_viewer.h"
#include "record/record_viewers.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// A triggered run of `lines` frames, about four a second, the colours
// changing from frame to frame and a slow drift on top.
std::string WriteRun(const std::string& path, int lines) {
    std::string text = record::RecordFileHeader("CHROMIK3 Scope V4.3", "BENCH");
    text.reserve(text.size() + static_cast<size_t>(lines) * 64);
    for (int i = 0; i < lines; ++i) {
        live::LiveDataFrameBytes f;
        const int row = (i * 7) % 6;
        const int drift = (i / 1000) % 50;
        f.set(live::kRed, static_cast<int16_t>(400 + 500 * row + drift + i % 13));
        f.set(live::kGreen, static_cast<int16_t>(3000 - 400 * row + i % 11));
        f.set(live::kBlue, static_cast<int16_t>(800 + 300 * row + i % 7));
        f.set(live::kX, static_cast<int16_t>(100 + 120 * row + i % 9));
        f.set(live::kY, static_cast<int16_t>(600 - 80 * row + i % 5));
        f.set(live::kInt, static_cast<int16_t>(1200 + 300 * row));
        f.set(live::kDeltaC, static_cast<int16_t>(i % 17));
        f.set(live::kColor, static_cast<int16_t>(i % 97 == 0 ? 255 : row));
        f.set(live::kGroup, static_cast<int16_t>(row % 3));
        f.set(live::kTrigger, 1);
        f.set(live::kTemp, static_cast<int16_t>(320 + i / 100000));
        std::tm t{};
        t.tm_year = 126;
        t.tm_mon = 11;
        const int s = i / 4;
        t.tm_mday = 8 + s / 86400;
        t.tm_hour = (s / 3600) % 24;
        t.tm_min = (s / 60) % 60;
        t.tm_sec = s % 60;
        text += record::RecordLine(f, t);
    }
    std::string error;
    record::StartRecordFile(path, text, &error);
    return path;
}

void Measure(int lines, int argc, char** argv) {
    const std::string path = std::filesystem::temp_directory_path() /
                             ("c3-bench-viewer-" + std::to_string(::getpid()) + ".dat");
    WriteRun(path, lines);
    const double mb = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    platform::InitRuntime(argc, argv);
    params::ParameterModel model;
    record::RecordViewers viewers(model);
    const long before = bench::ResidentKiB();
    const double t0 = Now();
    record::RecordViewer* v = viewers.Open(path);
    v->resize(1400, 820);
    while (v->Loading()) {
        platform::ProcessSystemEvents();
    }
    const double loaded = Now() - t0;
    v->RedrawNow();
    const double shown = Now() - t0;
    const long after = bench::ResidentKiB();

    double t = Now();
    v->RedrawNow();
    const double fullRedraw = Now() - t;

    ctl::Graph* g = v->SeriesGraph();
    const QCPRange r = g->xAxis->range();
    t = Now();
    g->xAxis->scaleRange(0.85, r.center()); // one wheel step: the series and the figures
    v->RedrawNow(record::RecordViewer::kSeries);
    const double zoomStep = Now() - t;

    size_t columns = v->Run().seconds.capacity() * sizeof(int64_t);
    for (const auto& c : v->Run().field) {
        columns += c.capacity() * sizeof(int32_t);
    }
    std::printf("%8d lines (%.1f MB, %zu frames, %zu skipped): read %.3f s, first picture "
                "%.3f s, added %.1f MB resident (window and run; the run's columns %.1f MB); "
                "full redraw %.1f ms, one zoom step %.1f ms\n",
                lines, mb, v->Run().Frames(), v->Reader().skippedLines(), loaded, shown,
                static_cast<double>(after - before) / 1024.0, static_cast<double>(columns) / 1e6,
                fullRedraw * 1e3, zoomStep * 1e3);
    viewers.CloseAll();
    std::filesystem::remove(path);
}

} // namespace

int main(int argc, char** argv) {
    std::printf("bench_viewer: record viewer on a triggered run (RED GREEN BLUE shown)\n");
    std::fflush(stdout);
    for (int lines : {100000, 1000000}) {
        const pid_t child = ::fork();
        if (child == 0) {
            Measure(lines, argc, argv);
            std::fflush(stdout);
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
    }
    return 0;
}
