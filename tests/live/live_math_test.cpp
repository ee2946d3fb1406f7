// Arithmetic of the live displays: values derived from a frame, strip-chart
// histories, intensity bands, extents of the taught shapes, centring of the
// colour-space views and the signal-graph segments; the histories as the
// frame stream feeds them.
#include "live/frame_stream.h"
#include "live/live_math.h"
#include "live/live_state.h"
#include "params/parameter_model.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace live;
using params::TeachTableBytes;

namespace {

LiveDataFrameBytes FrameWith(std::initializer_list<std::pair<LiveField, int16_t>> fields) {
    LiveDataFrameBytes f;
    for (const auto& [field, v] : fields) {
        f.set(field, v);
    }
    return f;
}

TeachTableBytes TableAtResetValue() {
    TeachTableBytes t;
    for (int row = 0; row < params::kTeachRows; ++row) {
        for (int c = params::kCell0; c <= params::kCell4; ++c) {
            t.set(row, static_cast<params::TeachField>(c), 1);
        }
    }
    return t;
}

void SetRow(TeachTableBytes* t, int row, std::initializer_list<uint16_t> cells) {
    int c = 0;
    for (uint16_t v : cells) {
        t->set(row, static_cast<params::TeachField>(c++), v);
    }
}

} // namespace

TEST(FrameValues, RawDeltaIsTheSignedSpreadOfTheRawValues) {
    EXPECT_EQ(200, RawDeltaOf(FrameWith({{kRawRed, 100}, {kRawGreen, 300}, {kRawBlue, 200}})));
    EXPECT_EQ(0, RawDeltaOf(FrameWith({})));
    // compared as signed: -50 is the smallest
    EXPECT_EQ(150, RawDeltaOf(FrameWith({{kRawRed, -50}, {kRawGreen, 100}, {kRawBlue, 0}})));
}

TEST(FrameValues, ColourPatchTakesASixteenthOfEachChannel) {
    EXPECT_EQ(0xFF0080u, ColourOfRgb(4095, 0, 2048));
    EXPECT_EQ(0x010203u, ColourOfRgb(16, 47, 48));
    // values a sensor should not send stay inside their channel
    EXPECT_EQ(0xFF0000u, ColourOfRgb(32767, -5, -32768));
}

TEST(FrameValues, OutputLedsBreakTheColourWordDown) {
    EXPECT_EQ(0x1F, OutputLedPattern(255)); // failure: all five
    EXPECT_EQ(0x05, OutputLedPattern(5));   // OUT2 and OUT0
    EXPECT_EQ(0x00, OutputLedPattern(0));
    EXPECT_EQ(0x1F, OutputLedPattern(31));
    EXPECT_EQ(0x10, OutputLedPattern(16));
    EXPECT_EQ(0x1F, OutputLedPattern(-1)); // 65535 as unsigned
    for (int v = 0; v < 32; ++v) {
        EXPECT_EQ(v, OutputLedPattern(static_cast<int16_t>(v)));
    }
}

TEST(Histories, KeepTheLatestHundredTriplesOldestFirst) {
    History h;
    for (int i = 1; i <= 150; ++i) {
        h.Push(i, 1000 + i, 2000 + i);
    }
    EXPECT_EQ(51, h.At(0, 0));
    EXPECT_EQ(1051, h.At(0, 1));
    EXPECT_EQ(150, h.At(99, 0));
    EXPECT_EQ(2150, h.At(99, 2));
    History fresh;
    fresh.Push(7, 8, 9);
    EXPECT_EQ(0, fresh.At(98, 0)); // starts as zeros
    EXPECT_EQ(9, fresh.At(99, 2));
}

TEST(Bands, StripChartCapsAt4095AndBarAt4096FloorsAtZero) {
    EXPECT_EQ(3800, StripChartBand(4000, 200).lo);
    EXPECT_EQ(4095, StripChartBand(4000, 200).hi);
    EXPECT_EQ(0, StripChartBand(100, 200).lo);
    EXPECT_EQ(300, StripChartBand(100, 200).hi);
    EXPECT_EQ(3800, IntensityBarBand(4000, 200).lo);
    EXPECT_EQ(4096, IntensityBarBand(4000, 200).hi);
    EXPECT_EQ(0, IntensityBarBand(100, 200).lo);
    EXPECT_EQ(300, IntensityBarBand(100, 200).hi);
    // large words do not wrap into a negative band
    EXPECT_EQ(4095, StripChartBand(60000, 60000).hi);
    EXPECT_EQ(0, StripChartBand(60000, 60000).lo);
}

TEST(Rows, TwoDAndThreeDReadTheirOwnColumns) {
    TeachTableBytes t;
    SetRow(&t, 4, {500, 400, 50, 800, 70});
    const RowShape s2 = ShapeOfRow(t, 4, params::kXyInt2D);
    EXPECT_EQ(500, s2.x);
    EXPECT_EQ(50, s2.r);
    EXPECT_EQ(800, s2.i);
    EXPECT_EQ(70, s2.t);
    const RowShape s3 = ShapeOfRow(t, 4, params::kSiM3D);
    EXPECT_EQ(50, s3.i); // X, Y, INT, TOL
    EXPECT_EQ(800, s3.r);
    EXPECT_EQ(800, s3.t);
    EXPECT_EQ(800, IntensityOf(t, 4, params::kXyInt2D).centre);
    EXPECT_EQ(70, IntensityOf(t, 4, params::kXyInt2D).tolerance);
    EXPECT_EQ(50, IntensityOf(t, 4, params::kXyInt3D).centre);
}

TEST(Extents, AnUntaughtTableSpansZeroToTenThousand) {
    const Extents e = ExtentsOf(TableAtResetValue(), params::kXyInt2D);
    EXPECT_EQ(0, e.minX);
    EXPECT_EQ(10000, e.maxX);
    EXPECT_EQ(0, e.minY);
    EXPECT_EQ(10000, e.maxY);
    EXPECT_EQ(0, e.minI);
    EXPECT_EQ(10000, e.maxI);
}

TEST(Extents, OnlyRowsAwayFromTheResetValueCount) {
    TeachTableBytes t = TableAtResetValue();
    SetRow(&t, 3, {500, 400, 50, 800, 100});
    SetRow(&t, 7, {10, 10, 900, 900, 900}); // X 10 and Y 10: not counted
    Extents e = ExtentsOf(t, params::kXyInt2D);
    EXPECT_EQ(450, e.minX);
    EXPECT_EQ(550, e.maxX);
    EXPECT_EQ(350, e.minY);
    EXPECT_EQ(450, e.maxY);
    EXPECT_EQ(700, e.minI);
    EXPECT_EQ(900, e.maxI);
    SetRow(&t, 7, {10, 11, 5, 900, 0}); // Y 11 counts
    e = ExtentsOf(t, params::kXyInt2D);
    EXPECT_EQ(5, e.minX);
    EXPECT_EQ(6, e.minY);
    EXPECT_EQ(900, e.maxI);
    // 3D: TOL widens colour and intensity alike
    SetRow(&t, 7, {1, 1, 1, 1, 1});
    SetRow(&t, 3, {500, 400, 800, 30, 0});
    e = ExtentsOf(t, params::kXyInt3D);
    EXPECT_EQ(470, e.minX);
    EXPECT_EQ(770, e.minI);
    EXPECT_EQ(830, e.maxI);
}

TEST(Centring, FollowsTheMeasurementOutsideTheExtents) {
    Centred c = CentreOf(600, 450, 550); // above
    EXPECT_EQ(150, c.span);
    EXPECT_EQ(525, c.centre);
    c = CentreOf(420, 350, 450); // inside
    EXPECT_EQ(100, c.span);
    EXPECT_EQ(400, c.centre);
    c = CentreOf(100, 450, 550); // below
    EXPECT_EQ(450, c.span);
    EXPECT_EQ(325, c.centre);
    c = CentreOf(-5, 0, 0); // integer division toward zero
    EXPECT_EQ(5, c.span);
    EXPECT_EQ(-3, c.centre);
}

TEST(Centring, BothAxesOfAViewGetTheSameLength) {
    // One taught row X=500, Y=400, CTO=50 and a frame at X=600, Y=420.
    const ViewAxes a = AxesOf(600, 450, 550, 420, 350, 450);
    EXPECT_EQ(425, a.xLo);
    EXPECT_EQ(625, a.xHi);
    EXPECT_EQ(300, a.yLo);
    EXPECT_EQ(500, a.yHi);
    // wild values still give finite, equally long axes
    const ViewAxes w = AxesOf(32767, 0, 10000, -32768, 0, 10000);
    EXPECT_TRUE(std::isfinite(w.xLo) && std::isfinite(w.yHi));
    EXPECT_EQ(w.xHi - w.xLo, w.yHi - w.yLo);
}

TEST(SignalGraph, FirstSegmentHasLengthZeroThenFramesConnect) {
    SignalSeries s;
    s.Start(FrameWith({{kRed, 100}}));
    SignalSeries::Segment seg[kSignalCount];
    s.Add(FrameWith({{kRed, 200}, {kTemp, 300}}), seg);
    EXPECT_EQ(0, seg[0].x0);
    EXPECT_EQ(0, seg[0].x1);
    EXPECT_EQ(200, seg[0].y0); // not the start value: zero length
    EXPECT_EQ(200, seg[0].y1);
    EXPECT_EQ(300, seg[6].y0);
    s.Add(FrameWith({{kRed, 250}}), seg);
    EXPECT_EQ(0, seg[0].x0);
    EXPECT_EQ(1, seg[0].x1);
    EXPECT_EQ(200, seg[0].y0);
    EXPECT_EQ(250, seg[0].y1);
    EXPECT_EQ(2u, s.counter);
    EXPECT_EQ(kTemp, SignalField(6));
    EXPECT_EQ(kInt, SignalField(5));
}

TEST(StreamHistories, TakeFramesShownWithTheSelectedRowsBandButNotCalibrationFrames) {
    // A sensor's stream and model: the selected teach row has INT 1107 and
    // ITO 400.
    params::ParameterModel model;
    model.SetCell(2, params::kCell3, 1107);
    model.SetCell(2, params::kCell4, 400);
    model.SetTeachRowNo(2);
    FrameStream frames;
    LiveState live(frames, model);
    frames.Publish(FrameWith({{kRed, 10}, {kInt, 1000}}), kUseGo, 0);
    frames.Publish(FrameWith({{kRed, 20}, {kInt, 900}}), kUseRecording, 0);
    // White calibration and manual-record frames stay out of the histories.
    frames.Publish(FrameWith({{kRed, 30}, {kInt, 800}}), kUseCalibration, 0);
    frames.Publish(FrameWith({{kRed, 40}, {kInt, 700}}), kUseSignalGraph, 0);
    EXPECT_EQ(10, live.RgbHistory.At(98, 0));
    EXPECT_EQ(20, live.RgbHistory.At(99, 0));
    EXPECT_EQ(1000, live.IntHistory.At(98, 0));
    EXPECT_EQ(900, live.IntHistory.At(99, 0));
    EXPECT_EQ(1507, live.IntHistory.At(99, 1));
    EXPECT_EQ(707, live.IntHistory.At(99, 2));
    EXPECT_EQ(0, live.IntHistory.At(97, 0));
}
