// The white calibration's arithmetic: the factor formula with its two
// refusals, the means, and the blinking of the CALC CF button.
#include "calib/calib_math.h"

#include <gtest/gtest.h>

using namespace calib;

namespace {

WhiteMeans Means(int32_t r, int32_t g, int32_t b, int32_t delta) {
    WhiteMeans m;
    m.raw[0] = r;
    m.raw[1] = g;
    m.raw[2] = b;
    m.delta = delta;
    return m;
}

} // namespace

TEST(CalibMath, FactorsBringEachMeanToTheSetValue) {
    const CfResult ok = ComputeCalibrationFactors(1000, 2000, Means(1000, 2000, 1000, 1000));
    EXPECT_EQ(CfOutcome::kOk, ok.outcome);
    EXPECT_EQ(1024u, ok.cf[0]);
    EXPECT_EQ(512u, ok.cf[1]);
    EXPECT_EQ(1024u, ok.cf[2]);
    // truncated, not rounded: 3000 * 1024 / 2999 = 1024.34
    EXPECT_EQ(1024u, ComputeCalibrationFactors(3000, 0, Means(2999, 3000, 3001, 0)).cf[0]);
    EXPECT_EQ(1023u, ComputeCalibrationFactors(3000, 0, Means(2999, 3000, 3001, 0)).cf[2]);
    // the upper limit itself is accepted
    EXPECT_EQ(CfOutcome::kOk, ComputeCalibrationFactors(1024, 0, Means(256, 256, 256, 0)).outcome);
    // the largest SETVALUE does not overflow 32 bits
    const CfResult big = ComputeCalibrationFactors(65535, 0, Means(4095, 4095, 4095, 0));
    EXPECT_EQ(65535u * 1024u / 4095u, big.cf[0]);
    EXPECT_EQ(CfOutcome::kOutOfRange, big.outcome);
}

TEST(CalibMath, DeltaAboveMaximumRefusesBeforeAnyFactor) {
    EXPECT_EQ(CfOutcome::kDeltaTooHigh,
              ComputeCalibrationFactors(1000, 500, Means(1000, 2000, 1000, 1000)).outcome);
    // equal is still allowed
    EXPECT_EQ(CfOutcome::kOk,
              ComputeCalibrationFactors(1000, 1000, Means(1000, 2000, 1000, 1000)).outcome);
    // the delta check comes first even when a factor would be out of range
    EXPECT_EQ(CfOutcome::kDeltaTooHigh,
              ComputeCalibrationFactors(1000, 0, Means(0, 0, 0, 1)).outcome);
}

TEST(CalibMath, FactorsAbove4096AreOutOfRange) {
    const CfResult low = ComputeCalibrationFactors(1000, 2000, Means(1000, 200, 1000, 0));
    EXPECT_EQ(CfOutcome::kOutOfRange, low.outcome);
    EXPECT_EQ(5120u, low.cf[1]);
    // a mean of 0 is taken as 1
    const CfResult zero = ComputeCalibrationFactors(1000, 2000, Means(1000, 1000, 0, 0));
    EXPECT_EQ(CfOutcome::kOutOfRange, zero.outcome);
    EXPECT_EQ(1024000u, zero.cf[2]);
    // 1024 * 1024 / 16 = 65536 does not fit 16 bits and is refused, not wrapped
    const CfResult wrap = ComputeCalibrationFactors(1024, 2000, Means(16, 1024, 1024, 0));
    EXPECT_EQ(CfOutcome::kOutOfRange, wrap.outcome);
    EXPECT_EQ(65536u, wrap.cf[0]);
    // a negative mean (garbage raw values) sees no light: refused, not a tiny factor
    EXPECT_EQ(CfOutcome::kOutOfRange,
              ComputeCalibrationFactors(1000, 2000, Means(-30000, 1000, 1000, 0)).outcome);
}

TEST(CalibMath, MeansAreIntegerQuotientsOfTheSums) {
    WhiteSums s;
    for (int i = 0; i < 100; ++i) {
        s.Add(static_cast<int16_t>(1000 + (i % 2)), 4095, 0, static_cast<uint16_t>(4095));
    }
    EXPECT_EQ(100, s.received);
    const WhiteMeans m = MeansOf(s, kWhiteSamples);
    EXPECT_EQ(1000, m.raw[0]); // 100050 / 100
    EXPECT_EQ(4095, m.raw[1]);
    EXPECT_EQ(0, m.raw[2]);
    EXPECT_EQ(4095, m.delta);
    EXPECT_EQ(0, MeansOf(s, 0).raw[0]);
}

TEST(CalibMath, ButtonBlinksEveryFiveSamplesRedFirstEndingGrey) {
    int changes = 0;
    bool red = false;
    for (int i = 0; i < kWhiteSamples; ++i) {
        if (BlinkBefore(i)) {
            ++changes;
            red = RedPhase(i);
            if (i == 0) {
                EXPECT_TRUE(red);
            }
        }
    }
    EXPECT_EQ(20, changes);
    EXPECT_FALSE(red);
    EXPECT_FALSE(BlinkBefore(4));
    EXPECT_TRUE(BlinkBefore(5));
    EXPECT_FALSE(RedPhase(5));
    EXPECT_TRUE(RedPhase(10));
}
