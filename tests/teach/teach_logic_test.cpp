// TEACH DATA TO on a row across the modes, the default tolerances, and the
// grid menu's operations on a selection.
#include "params/parameter_layout.h"
#include "teach/teach_logic.h"

#include <gtest/gtest.h>

#include <array>

using namespace teach;
using Cells = std::array<uint16_t, 5>;

namespace {

TeachInput Live(uint16_t calc, uint16_t eval, uint16_t power, int16_t x, int16_t y, int16_t i) {
    TeachInput in;
    in.calculationMode = calc;
    in.evaluationMode = eval;
    in.powerMode = power;
    in.x = x;
    in.y = y;
    in.intensity = i;
    return in;
}

Cells Teach(const TeachInput& in, Cells cells = {7, 7, 7, 7, 7}) {
    TeachCells(in, cells.data());
    return cells;
}

} // namespace

TEST(TeachDataTo, TwoDimensionalModesTakeTheDefaultTolerancesOfTheTable) {
    using namespace params;
    // mode 0, BEST HIT, STAT: 500, 400, 200, 2000, 200
    EXPECT_EQ((Cells{500, 400, 200, 2000, 200}),
              Teach(Live(kXyInt2D, kBestHit, kPowerStat, 500, 400, 2000)));
    // DYN halves the intensity tolerance
    EXPECT_EQ((Cells{500, 400, 200, 2000, 100}),
              Teach(Live(kXyInt2D, kBestHit, kPowerDyn, 500, 400, 2000)));
    EXPECT_EQ((Cells{500, 400, 100, 2000, 100}),
              Teach(Live(kXyInt2D, kFirstHit, kPowerStat, 500, 400, 2000)));
    EXPECT_EQ((Cells{500, 400, 100, 2000, 50}),
              Teach(Live(kXyInt2D, kCol5, kPowerDyn, 500, 400, 2000)));
    EXPECT_EQ((Cells{500, 400, 40, 2000, 200}),
              Teach(Live(kXyInt2D, kMinDist, kPowerStat, 500, 400, 2000)));
    // s i M 2D: MTO is 50 whatever the power mode
    EXPECT_EQ((Cells{600, 300, 200, 900, 50}),
              Teach(Live(kSiM2D, kBestHit, kPowerStat, 600, 300, 900)));
    EXPECT_EQ((Cells{600, 300, 40, 900, 50}),
              Teach(Live(kSiM2D, kMinDist, kPowerDyn, 600, 300, 900)));
}

TEST(TeachDataTo, ThreeDimensionalModesPutIntensityThirdAndTolBehindIt) {
    using namespace params;
    EXPECT_EQ((Cells{500, 400, 2000, 40, 1}),
              Teach(Live(kXyInt3D, kMinDist, kPowerStat, 500, 400, 2000)));
    EXPECT_EQ((Cells{500, 400, 2000, 200, 1}),
              Teach(Live(kSiM3D, kBestHit, kPowerDyn, 500, 400, 2000)));
    EXPECT_EQ((Cells{500, 400, 2000, 100, 1}),
              Teach(Live(kXyInt3D, kFirstHit, kPowerStat, 500, 400, 2000)));
}

TEST(TeachDataTo, ToleranceOffKeepsTheToleranceCells) {
    using namespace params;
    TeachInput in = Live(kXyInt2D, kBestHit, kPowerStat, 500, 400, 2000);
    in.tolerancesOff = true;
    EXPECT_EQ((Cells{500, 400, 33, 2000, 44}), Teach(in, {1, 1, 33, 1, 44}));
    in.calculationMode = kXyInt3D;
    EXPECT_EQ((Cells{500, 400, 2000, 33, 44}), Teach(in, {1, 1, 1, 33, 44}));
}

TEST(TeachDataTo, RowNumberAdvancesUpToThirty) {
    EXPECT_EQ(4, NextRowNo(3, true));
    EXPECT_EQ(3, NextRowNo(3, false));
    EXPECT_EQ(30, NextRowNo(29, true));
    EXPECT_EQ(30, NextRowNo(30, true));
}

TEST(SelectionOperations, IncrementWrapsAt65535AndSkipsTheColourColumn) {
    // rows 1..2, columns 4..6: value cells (1,4) (1,5) (2,4) (2,5); column 6 is skipped
    const auto w = IncrementSelectionWith({1, 4, 2, 3}, 65535, 10);
    ASSERT_EQ(4u, w.size());
    EXPECT_EQ(65535, w[0].value);
    EXPECT_EQ(5, w[1].col);
    EXPECT_EQ(9, w[1].value);
    EXPECT_EQ(2, w[2].row);
    EXPECT_EQ(4, w[2].col);
    EXPECT_EQ(19, w[2].value);
    EXPECT_EQ(29, w[3].value);
    // four cells from 100 by 10
    const auto four = IncrementSelectionWith({3, 1, 1, 4}, 100, 10);
    ASSERT_EQ(4u, four.size());
    EXPECT_EQ(100, four[0].value);
    EXPECT_EQ(130, four[3].value);
    // an increment of 65535 counts down, wrapping below 0
    const auto down = IncrementSelectionWith({1, 1, 1, 3}, 0, 65535);
    EXPECT_EQ(65535, down[1].value);
    EXPECT_EQ(65534, down[2].value);
}

TEST(SelectionOperations, SetAndResetTouchOnlyValueCellsOfTheGrid) {
    const auto set = SetSelectionTo({30, 5, 5, 2}, 42); // rows past 31 do not exist
    ASSERT_EQ(2u, set.size());
    EXPECT_EQ(30, set[0].row);
    EXPECT_EQ(31, set[1].row);
    EXPECT_EQ(5, set[1].col);
    const auto reset = ResetSelection({1, 1, 31, 6});
    EXPECT_EQ(31u * 5u, reset.size());
    for (const CellWrite& c : reset) {
        EXPECT_EQ(1, c.value);
        EXPECT_LE(c.col, 5);
    }
    EXPECT_TRUE(SetSelectionTo({1, 6, 31, 1}, 9).empty()); // the colour column alone
    EXPECT_TRUE(SetSelectionTo({0, 1, 1, 1}, 9).empty());  // no selection
    EXPECT_TRUE(ResetSelection({1, 0, 1, 1}).empty());
    EXPECT_FALSE(HasSelection({}));
}

TEST(SelectionOperations, PromptTextScansAsOneDecimalInteger) {
    EXPECT_EQ(123, ScanCellValue("123"));
    EXPECT_EQ(-7, ScanCellValue("  -7 "));
    EXPECT_EQ(65535, ScanCellValue("+65535"));
    EXPECT_FALSE(ScanCellValue(""));
    EXPECT_FALSE(ScanCellValue("   "));
    EXPECT_FALSE(ScanCellValue("abc"));
    EXPECT_FALSE(ScanCellValue("12abc"));
    EXPECT_FALSE(ScanCellValue("1 2"));
    EXPECT_FALSE(ScanCellValue("-"));
    EXPECT_FALSE(ScanCellValue("0x10"));
    EXPECT_FALSE(ScanCellValue("99999999999999999999"));
}
