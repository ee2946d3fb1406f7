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

// Brings `x` up to the run's length: the time of each line in seconds since
// 1970 (as the file's local date and time), the lines written within one
// second spread evenly over it (line k of n at + k/n). Only the last second
// already in `x` is spread anew, since lines appended to it change its
// spreading. A line stamped before its predecessor (a clock set back) keeps
// its predecessor's time, so the axis never runs backwards.
void ExtendTimeAxis(const std::vector<int64_t>& seconds, std::vector<double>* x);

// The frames whose axis value lies in lo..hi, as [first, last); `x` null
// means the axis is the frame number itself.
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

struct FieldFigures {
    double mean = 0;
    int32_t min = 0;
    int32_t max = 0;
};
struct SpanSummary {
    size_t frames = 0;
    FieldFigures field[kRecordFieldCount];
    std::map<int32_t, size_t> perColor; // COLOR value -> frames (255: no match)
    std::map<int32_t, size_t> perGroup; // GROUP value -> frames (255: none)
};
SpanSummary Summarize(const RecordRun& run, FrameRange frames);

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
