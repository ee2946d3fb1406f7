#include "params/mode_corrections.h"

namespace params {

PowerModeDecision CorrectPowerMode(ParameterModel& m) {
    const PowerModeDecision d =
        DecidePowerMode(m.Value(kLedMode), m.Value(kExternTeach), m.Value(kPowerMode));
    if (d.externTeachToOff) {
        m.SetValue(kExternTeach, kExTeachOff);
    }
    if (d.powerModeToStat) {
        m.SetValue(kPowerMode, kPowerStat);
    }
    if (d.powerToZero) {
        m.SetValue(kPower, 0);
    }
    return d;
}

EvalModeDecision CorrectEvalMode(ParameterModel& m) {
    const EvalModeDecision d = DecideEvalMode(m.EvaluationMode());
    if (!d.known) {
        return d;
    }
    if (d.outputPattern) {
        m.SetValue(kColorGroup, 0);
        m.SetValue(kMaxVecNo, d.forcedRows);
        m.SetValue(kDigitalOutmode, kOutBinary);
    }
    if (d.intLimToZero) {
        m.SetValue(kIntLim, 0);
    }
    if (d.triggerToCont) {
        m.SetValue(kTrigger, kTrigCont);
    }
    return d;
}

void CorrectExteachTrigger(ParameterModel& m) {
    if (m.Value(kExternTeach) != kExTeachOff && m.Value(kTrigger) >= kTrigExt1) {
        m.SetValue(kTrigger, kTrigCont);
    }
}

TriggerDecision CorrectTrigger(ParameterModel& m) {
    const TriggerDecision d = DecideTrigger(m.Value(kTrigger));
    if (d.externTeachToOff) {
        m.SetValue(kExternTeach, kExTeachOff);
    }
    return d;
}

MaxVecNoCorrection CorrectMaxVecNo(ParameterModel& m, const std::function<void()>& beforeCut) {
    MaxVecNoCorrection c;
    const uint16_t outmode = m.Value(kDigitalOutmode);
    c.groupsOn = m.Value(kColorGroup) != 0;
    const int limit = MaxVecNoLimit(outmode, c.groupsOn);
    if (m.Value(kMaxVecNo) > limit) {
        if (beforeCut) {
            beforeCut();
        }
        m.SetValue(kMaxVecNo, static_cast<uint16_t>(limit));
    }
    c.groupReset.assign(kTeachRows, false);
    if (c.groupsOn) {
        const int highest = HighestGroup(outmode);
        for (int row = 0; row < kTeachRows; ++row) {
            if (m.Cell(row, kGroup) > highest) {
                m.SetCell(row, kGroup, 0);
                c.groupReset[row] = true;
                c.anyGroupReset = true;
            }
        }
    }
    return c;
}

std::vector<std::string> ApplyModeRules(ParameterModel& m) {
    std::vector<std::string> warnings;
    const auto maxVecNo = [&] {
        if (CorrectMaxVecNo(m, [&] { warnings.push_back(kTextMaxVecNoTooHigh); }).anyGroupReset) {
            warnings.push_back(kTextGroupTooHigh);
        }
    };
    CorrectPowerMode(m);
    const EvalModeDecision eval = CorrectEvalMode(m);
    if (eval.known && eval.outputPattern) {
        maxVecNo();
    }
    CorrectExteachTrigger(m);
    CorrectTrigger(m);
    maxVecNo();
    return warnings;
}

} // namespace params
