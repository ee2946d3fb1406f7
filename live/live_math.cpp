#include "live/live_math.h"

#include <algorithm>

namespace live {

uint16_t RawDeltaOf(const LiveDataFrameBytes& frame) {
    const int16_t r = frame.get(kRawRed);
    const int16_t g = frame.get(kRawGreen);
    const int16_t b = frame.get(kRawBlue);
    const int32_t hi = std::max({r, g, b});
    const int32_t lo = std::min({r, g, b});
    return static_cast<uint16_t>(hi - lo);
}

uint32_t ColourOfRgb(int16_t red, int16_t green, int16_t blue) {
    auto channel = [](int16_t v) { return static_cast<uint32_t>(std::clamp(v / 16, 0, 255)); };
    return (channel(red) << 16) | (channel(green) << 8) | channel(blue);
}

uint8_t OutputLedPattern(int16_t colorWord) {
    uint32_t rest = static_cast<uint16_t>(colorWord);
    uint8_t pattern = 0;
    for (int bit = 4; bit >= 1; --bit) {
        const uint32_t weight = 1u << bit;
        if (rest >= weight) {
            pattern |= static_cast<uint8_t>(weight);
            rest -= weight;
        }
    }
    if (rest > 0) {
        pattern |= 1;
    }
    return pattern;
}

void History::Push(double a, double b, double c) {
    std::copy(v + 3, v + kHistorySize, v);
    v[kHistorySize - 3] = a;
    v[kHistorySize - 2] = b;
    v[kHistorySize - 1] = c;
}

RowShape ShapeOfRow(const params::TeachTableBytes& table, int row, uint16_t calculationMode) {
    using namespace params;
    RowShape s;
    s.x = table.get(row, kCell0);
    s.y = table.get(row, kCell1);
    if (Is3D(calculationMode)) {
        s.i = table.get(row, kCell2);
        s.r = table.get(row, kCell3);
        s.t = s.r;
    } else {
        s.r = table.get(row, kCell2);
        s.i = table.get(row, kCell3);
        s.t = table.get(row, kCell4);
    }
    return s;
}

IntensityOfRow IntensityOf(const params::TeachTableBytes& table, int row,
                           uint16_t calculationMode) {
    const RowShape s = ShapeOfRow(table, row, calculationMode);
    return {static_cast<uint16_t>(s.i), static_cast<uint16_t>(s.t)};
}

Band StripChartBand(uint16_t centre, uint16_t tolerance) {
    // Summed in 32 bits: two large 16-bit words must not wrap into a
    // negative band.
    const int32_t c = centre;
    const int32_t t = tolerance;
    return {std::max(c - t, 0), std::min(c + t, 4095)};
}

Band IntensityBarBand(uint16_t centre, uint16_t tolerance) {
    const int32_t c = centre;
    const int32_t t = tolerance;
    return {std::max(c - t, 0), std::min(c + t, 4096)};
}

Extents ExtentsOf(const params::TeachTableBytes& table, uint16_t calculationMode) {
    Extents e{10000, 0, 10000, 0, 10000, 0};
    for (int row = 0; row < params::kTeachRows; ++row) {
        const RowShape s = ShapeOfRow(table, row, calculationMode);
        if (!(s.x > 10 || s.y >= 11)) {
            continue;
        }
        e.minX = std::min(e.minX, s.x - s.r);
        e.maxX = std::max(e.maxX, s.x + s.r);
        e.minY = std::min(e.minY, s.y - s.r);
        e.maxY = std::max(e.maxY, s.y + s.r);
        e.minI = std::min(e.minI, s.i - s.t);
        e.maxI = std::max(e.maxI, s.i + s.t);
    }
    auto order = [](int32_t& lo, int32_t& hi) {
        if (hi < lo) {
            std::swap(lo, hi);
        }
    };
    order(e.minX, e.maxX);
    order(e.minY, e.maxY);
    order(e.minI, e.maxI);
    return e;
}

Centred CentreOf(int32_t v, int32_t lo, int32_t hi) {
    if (v > hi) {
        const int32_t span = v - lo;
        return {span, lo + span / 2};
    }
    if (v < lo) {
        const int32_t span = hi - v;
        return {span, v + span / 2};
    }
    const int32_t span = hi - lo;
    return {span, lo + span / 2};
}

ViewAxes AxesOf(int32_t a, int32_t aLo, int32_t aHi, int32_t b, int32_t bLo, int32_t bHi) {
    const Centred ca = CentreOf(a, aLo, aHi);
    const Centred cb = CentreOf(b, bLo, bHi);
    const int32_t h = std::max(ca.span, cb.span) / 2;
    ViewAxes axes;
    axes.xLo = ca.centre - 25 - h;
    axes.xHi = ca.centre + 25 + h;
    axes.yLo = cb.centre - 25 - h;
    axes.yHi = cb.centre + 25 + h;
    return axes;
}

LiveField SignalField(int s) {
    static constexpr LiveField kFields[kSignalCount] = {kRed, kGreen, kBlue, kX, kY, kInt, kTemp};
    return kFields[std::clamp(s, 0, kSignalCount - 1)];
}

void SignalSeries::Start(const LiveDataFrameBytes& frame) {
    counter = 0;
    previousX = 0;
    currentX = 0;
    for (int s = 0; s < kSignalCount; ++s) {
        previous[s] = current[s] = frame.get(SignalField(s));
    }
}

void SignalSeries::Add(const LiveDataFrameBytes& frame, Segment* segments) {
    previousX = currentX;
    currentX = counter;
    for (int s = 0; s < kSignalCount; ++s) {
        previous[s] = current[s];
        current[s] = frame.get(SignalField(s));
        if (counter == 0) {
            previous[s] = current[s];
        }
        segments[s] = {static_cast<double>(previousX), static_cast<double>(previous[s]),
                       static_cast<double>(currentX), static_cast<double>(current[s])};
    }
    ++counter;
}

} // namespace live
