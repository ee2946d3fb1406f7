#include "record/record_series.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace record {

void ExtendTimeAxis(const std::vector<int64_t>& seconds, TimeAxis* axis) {
    std::vector<double>& x = axis->x;
    const size_t n = seconds.size();
    size_t start = std::min(x.size(), n);
    // Back to the first line of the last second already spread.
    while (start > 0 && start < n && seconds[start - 1] == seconds[start]) {
        --start;
    }
    if (start > 0 && start == n) {
        return;
    }
    std::erase_if(axis->stepsBack,
                  [start](const TimeAxis::StepBack& s) { return s.frame >= start; });
    // The second on the axis of the line before, and how far the axis
    // stands ahead of the file's times there (the clock's steps back).
    int64_t previous = 0;
    int64_t ahead = 0;
    if (start > 0) {
        previous = static_cast<int64_t>(std::floor(x[start - 1]));
        ahead = previous - seconds[start - 1];
    }
    x.resize(n);
    size_t i = start;
    while (i < n) {
        size_t j = i + 1;
        while (j < n && seconds[j] == seconds[i]) {
            ++j;
        }
        int64_t second = seconds[i] + ahead;
        if (i > 0 && second <= previous) {
            axis->stepsBack.push_back({i, seconds[i - 1] - seconds[i]});
            ahead += previous + 1 - second;
            second = previous + 1;
        }
        const double count = static_cast<double>(j - i);
        for (size_t k = i; k < j; ++k) {
            x[k] = static_cast<double>(second) + static_cast<double>(k - i) / count;
        }
        previous = second;
        i = j;
    }
}

FrameRange FramesIn(const double* x, size_t count, double lo, double hi) {
    FrameRange r;
    if (count == 0 || hi < lo) {
        return r;
    }
    if (x == nullptr) {
        // Frame numbers count from 1.
        const double first = std::max(0.0, std::ceil(lo - 1));
        const double last = std::min(static_cast<double>(count), std::floor(hi - 1) + 1);
        if (last > first) {
            r.first = static_cast<size_t>(first);
            r.last = static_cast<size_t>(last);
        }
        return r;
    }
    r.first = static_cast<size_t>(std::lower_bound(x, x + count, lo) - x);
    r.last = static_cast<size_t>(std::upper_bound(x, x + count, hi) - x);
    return r;
}

std::vector<PlotPoint> ReduceToColumns(const double* x, const int32_t* values, size_t count,
                                       double lo, double hi, int columns) {
    std::vector<PlotPoint> out;
    auto key = [x](size_t i) { return x == nullptr ? static_cast<double>(i + 1) : x[i]; };
    const FrameRange inside = FramesIn(x, count, lo, hi);
    const size_t first = inside.first > 0 ? inside.first - 1 : 0;
    const size_t last = std::min(count, inside.last + 1);
    if (first >= last) {
        return out;
    }
    columns = std::max(columns, 1);
    if (last - first <= 2 * static_cast<size_t>(columns) || !(hi > lo)) {
        out.reserve(last - first);
        for (size_t i = first; i < last; ++i) {
            out.push_back({key(i), static_cast<double>(values[i])});
        }
        return out;
    }
    out.reserve(4 * static_cast<size_t>(columns) + 2);
    const double perUnit = columns / (hi - lo);
    auto columnOf = [&](size_t i) {
        const double c = std::floor((key(i) - lo) * perUnit);
        return static_cast<long>(std::clamp(c, -1.0, static_cast<double>(columns)));
    };
    size_t i = first;
    while (i < last) {
        const long c = columnOf(i);
        size_t lowest = i;
        size_t highest = i;
        size_t j = i + 1;
        for (; j < last && columnOf(j) == c; ++j) {
            if (values[j] < values[lowest]) {
                lowest = j;
            }
            if (values[j] > values[highest]) {
                highest = j;
            }
        }
        size_t keep[4] = {i, std::min(lowest, highest), std::max(lowest, highest), j - 1};
        size_t previous = last; // none yet
        for (size_t k : keep) {
            if (k != previous) {
                out.push_back({key(k), static_cast<double>(values[k])});
                previous = k;
            }
        }
        i = j;
    }
    return out;
}

namespace {

// Sums of one value, for its mean, standard deviation and extremes.
struct Sums {
    size_t n = 0;
    int64_t sum = 0;
    int64_t squares = 0; // below 2^62 for up to 4 000 million frames
    int32_t min = INT32_MAX;
    int32_t max = INT32_MIN;
    void Add(int32_t v) {
        min = std::min(min, v);
        max = std::max(max, v);
        ++n;
        sum += v;
        squares += static_cast<int64_t>(v) * v;
    }
    FieldFigures Figures() const {
        FieldFigures f;
        if (n == 0) {
            return f;
        }
        const double count = static_cast<double>(n);
        f.mean = static_cast<double>(sum) / count;
        f.min = min;
        f.max = max;
        if (n > 1) {
            const double variance =
                (static_cast<double>(squares) - f.mean * static_cast<double>(sum)) / (count - 1);
            f.sd = variance > 0 ? std::sqrt(variance) : 0;
        }
        return f;
    }
};

struct ColorSums {
    Sums xyi[3];
    double distanceSum = 0;
    double distanceMax = 0;
};

template <bool kFiltered>
void SumFields(const RecordRun& run, FrameRange frames, const FrameFilter& filter,
               Sums sums[kRecordFieldCount]) {
    for (int f = 0; f < kRecordFieldCount; ++f) {
        const int32_t* v = run.field[f].data();
        Sums s;
        for (size_t i = frames.first; i < frames.last; ++i) {
            if (!kFiltered || filter.Passes(run, i)) {
                s.Add(v[i]);
            }
        }
        sums[f] = s;
    }
}

} // namespace

SpanSummary Summarize(const RecordRun& run, FrameRange frames, const FrameFilter& filter,
                      const RowCentre* centres, int rows, bool threeD) {
    SpanSummary s;
    frames.last = std::min(frames.last, run.Frames());
    if (frames.first >= frames.last) {
        return s;
    }
    Sums sums[kRecordFieldCount];
    if (filter.All()) {
        SumFields<false>(run, frames, filter, sums);
    } else {
        SumFields<true>(run, frames, filter, sums);
    }
    s.frames = sums[0].n;
    if (s.frames == 0) {
        return s;
    }
    for (int f = 0; f < kRecordFieldCount; ++f) {
        s.field[f] = sums[f].Figures();
    }
    // COLOR 0..255 (rows, no match, output patterns) in a table, anything
    // else in a map.
    std::vector<ColorSums> common(256);
    std::map<int32_t, ColorSums> rare;
    std::vector<size_t> groups(256);
    const int32_t* color = run.field[kFieldColor].data();
    const int32_t* group = run.field[kFieldGroup].data();
    const int32_t* xyi[3] = {run.field[kFieldX].data(), run.field[kFieldY].data(),
                             run.field[kFieldInt].data()};
    for (size_t i = frames.first; i < frames.last; ++i) {
        if (!filter.Passes(run, i)) {
            continue;
        }
        const int32_t g = group[i];
        if (g >= 0 && g < 256) {
            ++groups[static_cast<size_t>(g)];
        } else {
            ++s.perGroup[g];
        }
        const int32_t value = color[i];
        ColorSums& into =
            value >= 0 && value < 256 ? common[static_cast<size_t>(value)] : rare[value];
        for (int k = 0; k < 3; ++k) {
            into.xyi[k].Add(xyi[k][i]);
        }
        if (centres != nullptr && value >= 0 && value < rows && centres[value].taught) {
            const RowCentre& c = centres[value];
            const double dx = xyi[0][i] - c.x;
            const double dy = xyi[1][i] - c.y;
            const double di = threeD ? xyi[2][i] - c.i : 0.0;
            const double d = std::sqrt(dx * dx + dy * dy + di * di);
            into.distanceSum += d;
            into.distanceMax = std::max(into.distanceMax, d);
        }
    }
    std::map<int32_t, ColorSums> perColor = std::move(rare);
    for (int32_t value = 0; value < 256; ++value) {
        if (common[static_cast<size_t>(value)].xyi[0].n > 0) {
            perColor[value] = common[static_cast<size_t>(value)];
        }
        if (groups[static_cast<size_t>(value)] > 0) {
            s.perGroup[value] = groups[static_cast<size_t>(value)];
        }
    }
    for (const auto& [value, c] : perColor) {
        s.perColor[value] = c.xyi[0].n;
        ColorFigures figures;
        figures.color = value;
        figures.frames = c.xyi[0].n;
        figures.share = static_cast<double>(figures.frames) / static_cast<double>(s.frames);
        for (int k = 0; k < 3; ++k) {
            figures.xyi[k] = c.xyi[k].Figures();
        }
        figures.hasCentre =
            centres != nullptr && value >= 0 && value < rows && centres[value].taught;
        if (figures.hasCentre) {
            figures.meanDistance = c.distanceSum / static_cast<double>(figures.frames);
            figures.maxDistance = c.distanceMax;
        }
        s.perColorFigures.push_back(figures);
    }
    return s;
}

PointColour ColourOfFrame(int32_t color, const uint32_t* rowColours, int rows) {
    if (color == kNoMatchColor) {
        return {PointKind::NoMatch, kNoMatchRgb};
    }
    if (color >= 0 && color < rows) {
        return {PointKind::Row, rowColours[color] & 0xFFFFFF};
    }
    return {PointKind::NotARow, kNotARowRgb};
}

} // namespace record
