// The mode rules' decisions: what the evaluation, trigger and power modes
// make of the controls, and the limits of MAXCOL-No. and the groups.
#include "params/mode_logic.h"
#include "params/parameter_layout.h"

#include <gtest/gtest.h>

namespace {

using namespace params;

TEST(ModeLogic, EvaluationModesWithADistanceAndWithAnOutputPattern) {
    for (uint16_t eval : {kFirstHit, kBestHit, kMinDist}) {
        const EvalModeDecision d = DecideEvalMode(eval);
        EXPECT_TRUE(d.known && d.distanceShown && !d.outputPattern) << eval;
        EXPECT_EQ(0, d.outputLeds);
        EXPECT_TRUE(d.intLimEnabled && d.calculationModeEnabled && d.triggerEnabled);
        EXPECT_FALSE(d.intLimToZero || d.triggerToCont || d.colourBigPanelHidden);
    }
    const EvalModeDecision col5 = DecideEvalMode(kCol5);
    EXPECT_TRUE(col5.outputPattern && !col5.distanceShown);
    EXPECT_EQ(5, col5.outputLeds);
    EXPECT_EQ(5, col5.forcedRows);
    EXPECT_TRUE(col5.intLimEnabled && col5.calculationModeEnabled && col5.triggerEnabled);
    EXPECT_FALSE(col5.colourBigPanelHidden);
    const EvalModeDecision thd = DecideEvalMode(kThdRgb);
    EXPECT_TRUE(thd.outputPattern);
    EXPECT_EQ(3, thd.outputLeds);
    EXPECT_EQ(3, thd.forcedRows);
    EXPECT_TRUE(thd.intLimToZero && !thd.intLimEnabled);
    EXPECT_TRUE(thd.triggerToCont && !thd.triggerEnabled);
    EXPECT_FALSE(thd.calculationModeEnabled);
    EXPECT_TRUE(thd.colourBigPanelHidden);
    EXPECT_FALSE(DecideEvalMode(5).known); // an unknown mode changes nothing
}

TEST(ModeLogic, TriggerDecidesExternalTeachAndTheParameterSets) {
    for (uint16_t t = kTrigCont; t <= kTrigPara; ++t) {
        const TriggerDecision d = DecideTrigger(t);
        const bool teachable = t == kTrigCont || t == kTrigSelf;
        EXPECT_EQ(teachable, d.externTeachEnabled) << t;
        EXPECT_EQ(!teachable, d.externTeachToOff) << t;
        EXPECT_EQ(t == kTrigPara, d.paraSetSelectable) << t;
    }
}

TEST(ModeLogic, PowerModeFollowsLedModeAndExternalTeach) {
    const PowerModeDecision off = DecidePowerMode(kLedOff, kExTeachDyn1, kPowerDyn);
    EXPECT_TRUE(off.externTeachToOff && off.powerModeToStat && off.powerToZero);
    EXPECT_FALSE(off.powerEnabled || off.powerModeEnabled || off.dynWindowEnabled);
    EXPECT_FALSE(DecidePowerMode(kLedOff, kExTeachStat1, kPowerStat).externTeachToOff);
    const PowerModeDecision dyn1 = DecidePowerMode(kLedDc, kExTeachDyn1, kPowerStat);
    EXPECT_TRUE(dyn1.powerModeToStat && dyn1.dynWindowEnabled && !dyn1.powerEnabled);
    const PowerModeDecision dyn = DecidePowerMode(kLedAc, kExTeachOff, kPowerDyn);
    EXPECT_TRUE(dyn.dynWindowEnabled && !dyn.powerEnabled && dyn.powerModeEnabled);
    EXPECT_FALSE(dyn.powerModeToStat);
}

TEST(ModeLogic, LimitsAndActiveRows) {
    EXPECT_EQ(31, MaxVecNoLimit(kOutBinary, false));
    EXPECT_EQ(5, MaxVecNoLimit(kOutDirectLo, false));
    EXPECT_EQ(31, MaxVecNoLimit(kOutDirectHi, true));
    EXPECT_EQ(30, HighestGroup(kOutBinary));
    EXPECT_EQ(4, HighestGroup(kOutDirectHi));
    EXPECT_EQ(kActiveRowColor, RowLabelColour(3, 4));
    EXPECT_EQ(kInactiveRowColor, RowLabelColour(4, 4));
    EXPECT_EQ(kInactiveRowColor, RowLabelColour(0, 0));
}

} // namespace
