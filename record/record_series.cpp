#include "record/record_series.h"

#include <algorithm>
#include <cmath>

namespace record {

void ExtendTimeAxis(const std::vector<int64_t>& seconds, std::vector<double>* x) {
    const size_t n = seconds.size();
    size_t start = std::min(x->size(), n);
    // Back to the first line of the last second already spread.
    while (start > 0 && start < n && seconds[start - 1] == seconds[start]) {
        --start;
    }
    if (start > 0 && start == n) {
        return;
    }
    x->resize(n);
    size_t i = start;
    while (i < n) {
        size_t j = i + 1;
        while (j < n && seconds[j] == seconds[i]) {
            ++j;
        }
        const double count = static_cast<double>(j - i);
        for (size_t k = i; k < j; ++k) {
            double t = static_cast<double>(seconds[i]) + static_cast<double>(k - i) / count;
            if (k > 0 && t < (*x)[k - 1]) {
                t = (*x)[k - 1];
            }
            (*x)[k] = t;
        }
        i = j;
    }
}

FrameRange FramesIn(const double* x, size_t count, double lo, double hi) {
    FrameRange r;
    if (count == 0 || hi < lo) {
        return r;
    }
    if (x == nullptr) {
        const double first = std::max(0.0, std::ceil(lo));
        const double last = std::min(static_cast<double>(count), std::floor(hi) + 1);
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
    auto key = [x](size_t i) { return x == nullptr ? static_cast<double>(i) : x[i]; };
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

SpanSummary Summarize(const RecordRun& run, FrameRange frames) {
    SpanSummary s;
    frames.last = std::min(frames.last, run.Frames());
    if (frames.first >= frames.last) {
        return s;
    }
    s.frames = frames.last - frames.first;
    for (int f = 0; f < kRecordFieldCount; ++f) {
        const int32_t* v = run.field[f].data();
        int64_t sum = 0;
        int32_t lo = v[frames.first];
        int32_t hi = lo;
        for (size_t i = frames.first; i < frames.last; ++i) {
            sum += v[i];
            lo = std::min(lo, v[i]);
            hi = std::max(hi, v[i]);
        }
        s.field[f] = {static_cast<double>(sum) / static_cast<double>(s.frames), lo, hi};
    }
    for (size_t i = frames.first; i < frames.last; ++i) {
        ++s.perColor[run.field[kFieldColor][i]];
        ++s.perGroup[run.field[kFieldGroup][i]];
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
