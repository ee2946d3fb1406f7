// The measuring chain and the classification of the simulated sensor: a
// table of cases for each evaluation mode, the derived values, the front
// end, and the behaviour that carries from scan to scan.
#include "sim/sensor_core.h"
#include "sim/sensor_model.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using params::ParameterBlockBytes;
using params::TeachTableBytes;

void Row(TeachTableBytes* t, int row, uint16_t c0, uint16_t c1, uint16_t c2, uint16_t c3,
         uint16_t c4, uint16_t group = 0) {
    const uint16_t cells[] = {c0, c1, c2, c3, c4};
    for (int f = 0; f < 5; ++f) {
        t->set(row, static_cast<params::TeachField>(f), cells[f]);
    }
    t->set(row, params::kGroup, group);
}

// Rows 0 and 1 overlap around (300..320, 300); row 2 is far away.
TeachTableBytes Table2D() {
    TeachTableBytes t;
    Row(&t, 0, 300, 300, 50, 1000, 200, 4);
    Row(&t, 1, 320, 300, 50, 1000, 200, 2);
    Row(&t, 2, 600, 200, 30, 2000, 100, 3);
    return t;
}

ParameterBlockBytes Block(uint16_t evaluationMode, uint16_t calcMode = params::kXyInt2D,
                          uint16_t maxVecNo = 3) {
    ParameterBlockBytes b = params::DefaultParameterBlock();
    b.set(params::kEvaluationMode, evaluationMode);
    b.set(params::kCalculationMode, calcMode);
    b.set(params::kMaxVecNo, maxVecNo);
    return b;
}

struct Case {
    const char* what;
    uint16_t mode;
    int v[3];
    int color;
    int deltaC;
};

TEST(Classification, TableOfEvaluationModes2D) {
    const TeachTableBytes t = Table2D();
    const int cal[3] = {1000, 1000, 1000};
    const Case cases[] = {
        // Inside rows 0 (distance 18) and 1 (distance 2).
        {"first hit takes row 0", params::kFirstHit, {318, 300, 1000}, 0, 18},
        {"best hit takes the nearer row 1", params::kBestHit, {318, 300, 1000}, 1, 2},
        {"min dist takes the nearest centre", params::kMinDist, {318, 300, 1000}, 1, 2},
        {"col5 sets OUT0 and OUT1", params::kCol5, {318, 300, 1000}, 3, 2},
        // Colour outside every row: FIRST HIT gives the distance to the last row
        // (row 2: 150, 250 -> 291.5), MIN DIST still finds the nearest centre.
        {"first hit, no hit", params::kFirstHit, {450, 450, 1000}, 255, 292},
        {"best hit, no hit", params::kBestHit, {450, 450, 1000}, 255, -1},
        {"min dist ignores CTO", params::kMinDist, {450, 450, 1000}, 1, 198},
        {"col5, no hit", params::kCol5, {450, 450, 1000}, 0, -1},
        // Intensity outside ITO: no hit; MIN DIST skips row 2 whose INT is off.
        {"best hit, INT outside ITO", params::kBestHit, {300, 300, 1300}, 255, -1},
        {"min dist, INT outside ITO of row 2", params::kMinDist, {600, 200, 1000}, 1, 297},
        {"min dist, INT outside every ITO", params::kMinDist, {300, 300, 3000}, 255, -1},
        {"first hit row 2", params::kFirstHit, {610, 210, 1950}, 2, 14},
    };
    for (const Case& c : cases) {
        const sim::Classification r = sim::Classify(c.v, cal, c.v[2], Block(c.mode), t);
        EXPECT_EQ(r.color, c.color) << c.what;
        EXPECT_EQ(r.deltaC, c.deltaC) << c.what;
        EXPECT_EQ(r.group, 255) << c.what; // colour groups off
    }
}

TEST(Classification, ThreeDimensionalTolerance) {
    TeachTableBytes t;
    Row(&t, 0, 300, 300, 1000, 50, 1); // X, Y, INT, TOL
    Row(&t, 1, 300, 300, 1100, 80, 1);
    const int cal[3] = {0, 0, 0};
    const ParameterBlockBytes first = Block(params::kFirstHit, params::kXyInt3D, 2);
    const ParameterBlockBytes best = Block(params::kBestHit, params::kSiM3D, 2);
    int v[3] = {310, 300, 1030}; // 31.6 from row 0, 70.7 from row 1
    EXPECT_EQ(sim::Classify(v, cal, 1030, first, t).color, 0);
    EXPECT_EQ(sim::Classify(v, cal, 1030, first, t).deltaC, 32);
    v[2] = 1060; // 60.8 from row 0 (outside 50), 41.2 from row 1
    EXPECT_EQ(sim::Classify(v, cal, 1060, first, t).color, 1);
    EXPECT_EQ(sim::Classify(v, cal, 1060, best, t).deltaC, 41);
    v[2] = 1300;
    EXPECT_EQ(sim::Classify(v, cal, 1300, best, t).color, 255);
}

TEST(Classification, ThresholdsIntlimGroupsAndMaxVecNo) {
    TeachTableBytes t = Table2D();
    Row(&t, 0, 1000, 1, 1, 1, 1);
    Row(&t, 1, 2000, 1, 1, 1, 1);
    Row(&t, 2, 3000, 1, 1, 1, 1);
    const int v[3] = {0, 0, 0};
    const int cal[3] = {1500, 1500, 3500};
    EXPECT_EQ(sim::Classify(v, cal, 0, Block(params::kThdRgb), t).color, 5); // OUT0 and OUT2
    const int calEqual[3] = {1000, 2000, 3000};                              // not above
    EXPECT_EQ(sim::Classify(v, calEqual, 0, Block(params::kThdRgb), t).color, 0);

    const TeachTableBytes t2 = Table2D();
    const int hit[3] = {318, 300, 1000};
    ParameterBlockBytes b = Block(params::kBestHit);
    b.set(params::kIntLim, 1000);
    EXPECT_EQ(sim::Classify(hit, cal, 999, b, t2).color, 255); // below INTLIM
    EXPECT_EQ(sim::Classify(hit, cal, 999, b, t2).deltaC, -1);
    EXPECT_EQ(sim::Classify(hit, cal, 1000, b, t2).color, 1);
    b.set(params::kColorGroup, 1);
    EXPECT_EQ(sim::Classify(hit, cal, 1000, b, t2).group, 2);
    b.set(params::kMaxVecNo, 1); // only row 0 is checked
    EXPECT_EQ(sim::Classify(hit, cal, 1000, b, t2).color, 0);
    EXPECT_EQ(sim::Classify(hit, cal, 1000, b, t2).group, 4);
    b.set(params::kMaxVecNo, 0);
    EXPECT_EQ(sim::Classify(hit, cal, 1000, b, t2).color, 255);
}

TEST(Classification, OutputPatterns) {
    ParameterBlockBytes b = Block(params::kBestHit);
    sim::Classification c;
    c.color = 6;
    c.group = 2;
    b.set(params::kDigitalOutmode, params::kOutBinary);
    EXPECT_EQ(sim::OutputPattern(c, b), 6);
    b.set(params::kDigitalOutmode, params::kOutDirectHi);
    EXPECT_EQ(sim::OutputPattern(c, b), 0); // row 6 has no direct output
    b.set(params::kColorGroup, 1);
    EXPECT_EQ(sim::OutputPattern(c, b), 0x04); // group 2
    b.set(params::kDigitalOutmode, params::kOutDirectLo);
    EXPECT_EQ(sim::OutputPattern(c, b), 0x1B);
    c.color = 255;
    c.group = 255;
    EXPECT_EQ(sim::OutputPattern(c, b), 0x1F);
    b.set(params::kDigitalOutmode, params::kOutBinary);
    EXPECT_EQ(sim::OutputPattern(c, b), 0x1F);
    b.set(params::kEvaluationMode, params::kCol5);
    c.color = 0x0A;
    EXPECT_EQ(sim::OutputPattern(c, b), 0x0A);
}

TEST(SensorModel, DerivedValuesOfBothCalculationFamilies) {
    const int cal[3] = {1000, 2000, 3000};
    int v[3];
    sim::DeriveValues(cal, params::kXyInt2D, v);
    EXPECT_EQ(v[0], 167);
    EXPECT_EQ(v[1], 333);
    EXPECT_EQ(v[2], 2000);
    sim::DeriveValues(cal, params::kSiM3D, v);
    EXPECT_EQ(v[0], 417); // 500 + 500 * (1000 - 2000) / 6000
    EXPECT_EQ(v[1], 375); // 500 + 250 * (3000 - 6000) / 6000
    EXPECT_EQ(v[2], 585); // 6000 * 100 / 1024
    const int full[3] = {4095, 4095, 4095};
    sim::DeriveValues(full, params::kXyInt3D, v);
    EXPECT_EQ(v[2], 4095);
    sim::DeriveValues(full, params::kSiM2D, v);
    EXPECT_EQ(v[2], 1199);
    const int dark[3] = {0, 0, 0};
    sim::DeriveValues(dark, params::kSiM2D, v);
    EXPECT_EQ(v[0] + v[1] + v[2], 0);
}

TEST(SensorModel, FrontEndPowerGainLedAndCalibration) {
    sim::FrontEndInput in;
    in.colour = {1000, 2000, 3000};
    in.power = 500;
    double adc[3];
    sim::FrontEnd(in, adc);
    EXPECT_DOUBLE_EQ(adc[0], 1048);
    in.power = 250;
    sim::FrontEnd(in, adc);
    EXPECT_DOUBLE_EQ(adc[1], 1040);
    in.power = 500;
    in.gain = 7; // twice the reference gain, dark signal too
    sim::FrontEnd(in, adc);
    EXPECT_DOUBLE_EQ(adc[0], 2096);
    EXPECT_DOUBLE_EQ(adc[2], sim::kAdcMax); // saturated
    in.gain = 5;
    in.ledMode = params::kLedOff;
    sim::FrontEnd(in, adc);
    EXPECT_DOUBLE_EQ(adc[0], 48); // near dark
    in.ledMode = params::kLedDc;
    in.ledOn = false;
    sim::FrontEnd(in, adc);
    EXPECT_DOUBLE_EQ(adc[1], 40);
    in.ledOn = true;
    in.integral = 4;
    in.noise[0] = 10; // halved by INTEGRAL 4
    sim::FrontEnd(in, adc);
    EXPECT_DOUBLE_EQ(adc[0], 1053);

    EXPECT_EQ(sim::Calibrate(1000, 1024), 1000);
    EXPECT_EQ(sim::Calibrate(1000, 512), 500);
    EXPECT_EQ(sim::Calibrate(3000, 4096), 4095); // held at the ADC range
}

// A sensor running on a fixed colour without noise.
struct Core {
    Core() : core(&mem, Quiet(), 250) {
        const sim::ParameterSet set{params::DefaultParameterBlock(), {}};
        mem.ram[0] = mem.ram[1] = set;
        core.DarkSignal(mem.calib.offset);
        core.GetScene().FixColour({1000, 2000, 3000});
    }
    static sim::SceneOptions Quiet() {
        sim::SceneOptions o;
        o.noise = 0;
        return o;
    }
    const sim::ScanResult& Step(int scans = 1) {
        t += static_cast<uint64_t>(scans) * 250;
        core.AdvanceTo(t, nullptr);
        return core.Last();
    }
    params::ParameterBlockBytes& B(int set = 0) { return mem.ram[set].block; }
    sim::Memories mem;
    sim::SensorCore core;
    uint64_t t = 0;
};

TEST(SensorCore, AverageSmoothsAChangeOverThatManyScans) {
    Core c;
    c.B().set(params::kAverage, 4);
    EXPECT_EQ(c.Step(10).raw[0], 1000);
    c.core.GetScene().FixColour({2000, 2000, 3000});
    EXPECT_EQ(c.Step().raw[0], 1250);
    EXPECT_EQ(c.Step().raw[0], 1500);
    EXPECT_EQ(c.Step(2).raw[0], 2000);
    c.B().set(params::kAverage, 1);
    c.core.GetScene().FixColour({500, 2000, 3000});
    EXPECT_EQ(c.Step().raw[0], 500);
}

TEST(SensorCore, DynamicPowerHoldsTheBrightestChannelInTheWindow) {
    Core c;
    c.B().set(params::kPowerMode, params::kPowerDyn); // window 3200..3300
    const sim::ScanResult& r = c.Step(200);
    const int peak = std::max({r.raw[0], r.raw[1], r.raw[2]}) + 56;
    EXPECT_GE(peak, 3200);
    EXPECT_LE(peak, 3300);
    EXPECT_NEAR(r.values[2], 500 * 3250 / 3056.0, 20); // INT shows the power
    EXPECT_NE(r.values[2], r.realIntensity);
}

TEST(SensorCore, ExternalTriggerHoldsTheMostFrequentColour) {
    Core c;
    params::TeachTableBytes& t = c.mem.ram[0].table;
    Row(&t, 0, 167, 333, 50, 2000, 300); // the fixed colour
    Row(&t, 1, 500, 300, 50, 1700, 300, 7);
    c.B().set(params::kMaxVecNo, 2);
    c.B().set(params::kColorGroup, 1);
    c.B().set(params::kTrigger, params::kTrigExt1);
    c.core.SetIn0Mode(0);
    EXPECT_EQ(c.Step().output.color, 255); // never triggered: fail state
    c.core.SetIn0Mode(1);
    EXPECT_EQ(c.Step(5).output.color, 0);
    EXPECT_TRUE(c.core.Last().triggered);
    c.core.GetScene().FixColour({2500, 1500, 1000}); // X 500, Y 300, INT 1667
    EXPECT_EQ(c.Step(2).output.color, 1);
    c.core.SetIn0Mode(0);
    EXPECT_EQ(c.Step().output.color, 0); // row 0 was seen most often
    EXPECT_FALSE(c.core.Last().triggered);
    EXPECT_EQ(c.core.Last().current.color, 1);

    c.B().set(params::kTrigger, params::kTrigExt2);
    c.core.SetIn0Mode(1);
    c.Step(2);
    c.core.SetIn0Mode(0);
    EXPECT_EQ(c.Step().output.color, 1); // the last colour
    EXPECT_EQ(c.core.Last().output.group, 7);

    c.B().set(params::kTrigger, params::kTrigExt3);
    c.core.SetIn0Mode(1);
    c.Step(2);
    c.core.SetIn0Mode(0);
    EXPECT_EQ(c.Step().output.color, 255); // fail state after the trigger
}

TEST(SensorCore, SelfTransAndParaTriggers) {
    Core c;
    params::TeachTableBytes& t = c.mem.ram[0].table;
    Row(&t, 0, 167, 333, 50, 2000, 300);
    c.B().set(params::kMaxVecNo, 1);
    c.B().set(params::kTrigger, params::kTrigSelf);
    EXPECT_FALSE(c.Step().triggered); // colour 0 in front: not triggered
    c.core.GetScene().FixColour({3000, 500, 500});
    EXPECT_TRUE(c.Step().triggered);
    EXPECT_EQ(c.core.Last().output.color, 255);

    c.B().set(params::kTrigger, params::kTrigTrans); // transmitter only while IN0 is high
    c.core.SetIn0Mode(0);
    EXPECT_EQ(c.Step().raw[0], 0);
    c.core.SetIn0Mode(1);
    EXPECT_EQ(c.Step().raw[0], 3000);

    c.B().set(params::kTrigger, params::kTrigPara); // set 1 while IN0 is high
    c.B(1).set(params::kPower, 250);
    EXPECT_EQ(c.Step().raw[0], 1500);
    EXPECT_EQ(c.core.Last().activeSet, 1);
    c.core.SetIn0Mode(0);
    EXPECT_EQ(c.Step().raw[0], 3000);
}

TEST(SensorCore, ExtremesOverTheSlidingWindow) {
    Core c;
    c.Step(10);
    c.core.GetScene().FixColour({500, 2500, 3000});
    c.Step(10);
    const live::LiveDataFrameBytes f = c.core.LiveFrame();
    EXPECT_EQ(f.get(live::kExtreme1Red), 500);
    EXPECT_EQ(f.get(live::kExtreme2Red), 1000);
    EXPECT_EQ(f.get(live::kExtreme1Green), 2000);
    EXPECT_EQ(f.get(live::kExtreme2Green), 2500);
    c.Step(sim::SensorCore::kExtremeBlocks * sim::SensorCore::kExtremeBlockScans + 64);
    const live::LiveDataFrameBytes g = c.core.LiveFrame();
    EXPECT_EQ(g.get(live::kExtreme2Red), 500); // the old colour has left the window
}

TEST(SensorCore, TemperatureDriftsSlowly) {
    EXPECT_EQ(sim::SensorCore::TemperatureAt(0), 300);
    const int hour = sim::SensorCore::TemperatureAt(3600ULL * 1000000);
    EXPECT_GT(hour, 350);
    EXPECT_LT(hour, 366);
    EXPECT_LE(std::abs(sim::SensorCore::TemperatureAt(1000000) - 300), 2);
}

TEST(Scene, ConveyorIsDeterministicAndMoves) {
    sim::SceneOptions o;
    o.seed = 7;
    const sim::Scene a(o);
    const sim::Scene b(o);
    int changes = 0;
    bool barrier = false;
    sim::Rgb last = a.ColourAt(0);
    for (uint64_t us = 0; us < 3000000; us += 5000) {
        const sim::Rgb ca = a.ColourAt(us);
        EXPECT_EQ(ca.r, b.ColourAt(us).r);
        EXPECT_EQ(a.Noise(us, 1), b.Noise(us, 1));
        changes += ca.r != last.r;
        barrier = barrier || a.LightBarrierAt(us);
        last = ca;
    }
    EXPECT_GT(changes, 10);
    EXPECT_TRUE(barrier);
    EXPECT_EQ(a.Describe(50000), "belt"); // the first 100 ms are belt
    double sum = 0;
    double sq = 0;
    for (uint64_t s = 0; s < 20000; ++s) {
        const double n = a.Noise(s, 0);
        sum += n;
        sq += n * n;
    }
    EXPECT_NEAR(sum / 20000, 0, 0.2);
    EXPECT_NEAR(std::sqrt(sq / 20000), o.noise, 0.3);
}

} // namespace
