// Statistics of the mean-value teach assistant: capture and undo counts,
// truncated means, largest distances in 2D and 3D, and the tolerances the
// taught row gets.
#include "params/parameter_layout.h"
#include "teach/mean_stats.h"

#include <gtest/gtest.h>

#include <vector>

using namespace teach;

namespace {

CapturedFrame Frame(uint16_t x, uint16_t y, uint16_t i, uint16_t r = 10, uint16_t g = 20,
                    uint16_t b = 30) {
    CapturedFrame f;
    const uint16_t v[6] = {r, g, b, x, y, i};
    for (int c = 0; c < 6; ++c) {
        f.v[c] = v[c];
    }
    return f;
}

} // namespace

TEST(MeanStats, CaptureStopsGrowingAtOneHundredAndUndoAtZero) {
    EXPECT_EQ(1, CountAfterCapture(0));
    EXPECT_EQ(100, CountAfterCapture(99));
    EXPECT_EQ(100, CountAfterCapture(100)); // the 101st overwrites row 100
    EXPECT_EQ(99, CountAfterUndo(100));
    EXPECT_EQ(0, CountAfterUndo(0));
}

TEST(MeanStats, MeansAreTruncatedAndDistancesTruncatedToIntegers) {
    // X = 100, 101, 103: mean 101 (304 / 3), distances 1, 0, 2
    const std::vector<CapturedFrame> f = {Frame(100, 50, 500), Frame(101, 50, 500),
                                          Frame(103, 50, 500)};
    const Means m = MeanOf(f.data(), 3);
    EXPECT_EQ(101, m.v[3]);
    EXPECT_EQ(50, m.v[4]);
    EXPECT_EQ(10, m.v[0]);
    const MaxDistances d = MaxDeltaOf(f.data(), 3, m, params::kXyInt2D);
    EXPECT_EQ(2, d.colour);
    EXPECT_EQ(0, d.intensity);
}

TEST(MeanStats, PlaneDistanceIn2DSpaceDistanceIn3D) {
    // mode 0: (100, 100) and (103, 104): means 101, 102; sqrt 5 and sqrt 8 both give 2
    const std::vector<CapturedFrame> plane = {Frame(100, 100, 1000), Frame(103, 104, 1000)};
    const Means pm = MeanOf(plane.data(), 2);
    EXPECT_EQ(101, pm.v[3]);
    EXPECT_EQ(102, pm.v[4]);
    EXPECT_EQ(2, MaxDeltaOf(plane.data(), 2, pm, params::kXyInt2D).colour);
    // mode 2: the intensity difference enters the distance
    const std::vector<CapturedFrame> space = {Frame(100, 100, 1000), Frame(100, 100, 1010)};
    const Means sm = MeanOf(space.data(), 2);
    EXPECT_EQ(1005, sm.v[5]);
    const MaxDistances d3 = MaxDeltaOf(space.data(), 2, sm, params::kXyInt3D);
    EXPECT_EQ(5, d3.colour);
    EXPECT_EQ(5, d3.intensity);
    EXPECT_EQ(0, MaxDeltaOf(space.data(), 2, sm, params::kXyInt2D).colour);
    EXPECT_EQ(0, MaxDeltaOf(space.data(), 0, sm, params::kXyInt2D).colour);
}

TEST(MeanStats, HundredLargeFramesDoNotOverflowTheSum) {
    std::vector<CapturedFrame> f(100, Frame(65535, 65535, 65535, 65535, 65535, 65535));
    const Means m = MeanOf(f.data(), 100);
    for (uint16_t v : m.v) {
        EXPECT_EQ(65535, v);
    }
}

TEST(MeanStats, ChosenTolerances) {
    EXPECT_EQ(50, ChosenTolerance(kTolFixed, 7, 50, 99));
    EXPECT_EQ(7, ChosenTolerance(kTolDistance, 7, 50, 99));
    EXPECT_EQ(57, ChosenTolerance(kTolDistancePlus, 7, 50, 99));
    EXPECT_EQ(99, ChosenTolerance(kTolKeep, 7, 50, 99));
    EXPECT_EQ(0, ChosenTolerance(4, 7, 50, 99));
    EXPECT_EQ(4, ChosenTolerance(kTolDistancePlus, 10, 65530, 0)); // 16-bit wrap
}

TEST(MeanStats, TeachingTheMean) {
    MeanTeachInput in;
    in.calculationMode = params::kXyInt2D;
    in.evaluationMode = params::kBestHit;
    in.meanX = 510;
    in.meanY = 405;
    in.meanInt = 810;
    in.dMax = 7;
    in.dIMax = 3;
    in.firstChoice = kTolDistancePlus;
    in.firstValue = 50;
    in.secondChoice = kTolDistance;
    uint16_t row[5] = {1, 1, 1, 1, 1};
    TeachMeanCells(in, row);
    EXPECT_EQ(510, row[0]);
    EXPECT_EQ(405, row[1]);
    EXPECT_EQ(57, row[2]);
    EXPECT_EQ(810, row[3]);
    EXPECT_EQ(3, row[4]);
    // MIN DIST: 40 whatever the choice
    in.evaluationMode = params::kMinDist;
    TeachMeanCells(in, row);
    EXPECT_EQ(40, row[2]);
    // keep the row's tolerance: CTO survives while X, Y and INT are replaced
    in.evaluationMode = params::kFirstHit;
    in.firstChoice = kTolKeep;
    in.secondChoice = kTolKeep;
    uint16_t kept[5] = {1, 2, 123, 4, 66};
    TeachMeanCells(in, kept);
    EXPECT_EQ(510, kept[0]);
    EXPECT_EQ(123, kept[2]);
    EXPECT_EQ(810, kept[3]);
    EXPECT_EQ(66, kept[4]);
    // 3D: INT third, TOL fourth, the fifth cell untouched
    in.calculationMode = params::kSiM3D;
    in.firstChoice = kTolDistance;
    uint16_t three[5] = {1, 1, 1, 1, 9};
    TeachMeanCells(in, three);
    EXPECT_EQ(810, three[2]);
    EXPECT_EQ(7, three[3]);
    EXPECT_EQ(9, three[4]);
    // 3D keep: TOL is the fourth cell
    in.firstChoice = kTolKeep;
    uint16_t keep3[5] = {1, 1, 1, 321, 9};
    TeachMeanCells(in, keep3);
    EXPECT_EQ(321, keep3[3]);
}
