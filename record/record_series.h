// What the record viewer draws and sums up from a recorded run, free of
// widgets: the time axis, the reduction of a long series to a few points per
// pixel column, the figures of a span of frames and the colour in which a
// frame's point is drawn.
#pragma once

#include "record/record_reader.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

namespace record {

// The time axis of a run: the time of each line in seconds since 1970 (as
// the file's local date and time), the lines written within one second
// spread evenly over it (line k of n at + k/n). Where the clock was set back
// (the end of summer time, a corrected clock) the axis does not run back:
// it goes on by frame, the line after the step one second after the line
// before it, and every later time stands later by the step.
struct TimeAxis {
    std::vector<double> x;
    struct StepBack {
        size_t frame = 0;    // the first frame after the step (from 0)
        int64_t seconds = 0; // how far the clock went back
    };
    std::vector<StepBack> stepsBack;
    void Clear() {
        x.clear();
        stepsBack.clear();
    }
};
// Brings `axis` up to the run's length. Only the last second already in it
// is spread anew, since lines appended to it change its spreading.
void ExtendTimeAxis(const std::vector<int64_t>& seconds, TimeAxis* axis);

// The frames whose axis value lies in lo..hi, as [first, last) counted from
// 0; `x` null means the axis is the frame number itself, counted from 1 as
// the file's lines are.
struct FrameRange {
    size_t first = 0;
    size_t last = 0;
};
FrameRange FramesIn(const double* x, size_t count, double lo, double hi);

struct PlotPoint {
    double x = 0;
    double y = 0;
};
// The points of `values` to draw over lo..hi on `columns` pixel columns:
// where there are more than two points per column, each column keeps its
// first, smallest, largest and last point in their order, so no spike is
// lost and the line still joins its neighbours. One point either side of
// the range is kept, so the line runs to the edges.
std::vector<PlotPoint> ReduceToColumns(const double* x, const int32_t* values, size_t count,
                                       double lo, double hi, int columns);

// Which frames the views show: all, or those of one COLOR or one GROUP.
struct FrameFilter {
    enum class Kind { All, Color, Group };
    Kind kind = Kind::All;
    int32_t value = 0;
    bool All() const { return kind == Kind::All; }
    bool Passes(const RecordRun& run, size_t frame) const {
        return kind == Kind::All ||
               run.field[kind == Kind::Color ? kFieldColor : kFieldGroup][frame] == value;
    }
    bool operator==(const FrameFilter&) const = default;
};

struct FieldFigures {
    double mean = 0;
    double sd = 0; // sample standard deviation (0 for a single frame)
    int32_t min = 0;
    int32_t max = 0;
};
// The taught centre of a teach row, to which its frames' distance is
// measured: X/Y (s/i) in the 2D modes, X/Y/INT in the 3D modes.
struct RowCentre {
    bool taught = false;
    int32_t x = 0;
    int32_t y = 0;
    int32_t i = 0;
};
// The figures of the frames of one COLOR value: count, share of the span,
// X, Y and INT, and their distance to the row's taught centre.
struct ColorFigures {
    int32_t color = 0;
    size_t frames = 0;
    double share = 0; // of the span's frames, 0..1
    FieldFigures xyi[3];
    bool hasCentre = false;
    double meanDistance = 0;
    double maxDistance = 0;
};
struct SpanSummary {
    size_t frames = 0;
    FieldFigures field[kRecordFieldCount];
    std::map<int32_t, size_t> perColor;        // COLOR value -> frames (255: no match)
    std::map<int32_t, size_t> perGroup;        // GROUP value -> frames (255: none)
    std::vector<ColorFigures> perColorFigures; // by COLOR value
};
// The figures of the frames in `frames` that pass `filter`. `centres` (may
// be null) holds `rows` taught centres, measured in three dimensions when
// `threeD`.
SpanSummary Summarize(const RecordRun& run, FrameRange frames, const FrameFilter& filter = {},
                      const RowCentre* centres = nullptr, int rows = 0, bool threeD = false);

// How a frame's point is drawn in the colour plane.
constexpr int32_t kNoMatchColor = 255;
enum class PointKind { Row, NoMatch, NotARow };
struct PointColour {
    PointKind kind = PointKind::NotARow;
    uint32_t rgb = 0; // 0x00RRGGBB
};
constexpr uint32_t kNoMatchRgb = 0x000000;
constexpr uint32_t kNotARowRgb = 0x909090;
// COLOR 0..rows-1 takes the row's colour, 255 (no match) is marked apart,
// anything else (an output pattern of COL5 or THD RGB) is not a teach row.
PointColour ColourOfFrame(int32_t color, const uint32_t* rowColours, int rows);

} // namespace record
