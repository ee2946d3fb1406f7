#include "params/mode_logic.h"

#include "params/parameter_layout.h"

namespace params {

EvalModeDecision DecideEvalMode(uint16_t evaluationMode) {
    EvalModeDecision d;
    if (evaluationMode <= kMinDist) {
        return d;
    }
    if (evaluationMode > kThdRgb) {
        d.known = false;
        return d;
    }
    d.distanceShown = false;
    d.outputPattern = true;
    if (evaluationMode == kCol5) {
        d.outputLeds = 5;
        d.forcedRows = 5;
    } else {
        d.outputLeds = 3;
        d.forcedRows = 3;
        d.intLimEnabled = false;
        d.intLimToZero = true;
        d.calculationModeEnabled = false;
        d.triggerEnabled = false;
        d.triggerToCont = true;
        d.colourBigPanelHidden = true;
    }
    return d;
}

TriggerDecision DecideTrigger(uint16_t trigger) {
    TriggerDecision d;
    d.externTeachEnabled = trigger == kTrigCont || trigger == kTrigSelf;
    d.externTeachToOff = !d.externTeachEnabled;
    d.paraSetSelectable = trigger == kTrigPara;
    return d;
}

PowerModeDecision DecidePowerMode(uint16_t ledMode, uint16_t externTeach, uint16_t powerMode) {
    PowerModeDecision d;
    if (ledMode == kLedOff) {
        d.externTeachToOff = externTeach == kExTeachDyn1;
        d.powerModeToStat = true;
        d.powerModeEnabled = false;
        d.powerToZero = true;
        d.powerEnabled = false;
        d.dynWindowEnabled = false;
    } else if (externTeach == kExTeachDyn1) {
        d.powerModeToStat = true;
        d.powerModeEnabled = false;
        d.powerEnabled = false;
        d.dynWindowEnabled = true;
    } else if (externTeach == kExTeachStat1) {
        d.powerModeToStat = true;
        d.powerModeEnabled = false;
        d.powerEnabled = true;
        d.dynWindowEnabled = false;
    } else if (powerMode == kPowerDyn) {
        d.powerEnabled = false;
        d.dynWindowEnabled = true;
    } else {
        d.powerEnabled = true;
        d.dynWindowEnabled = false;
    }
    return d;
}

int MaxVecNoLimit(uint16_t digitalOutmode, bool colorGroupsOn) {
    return (colorGroupsOn || digitalOutmode == kOutBinary) ? kTeachRows : 5;
}

int HighestGroup(uint16_t digitalOutmode) {
    return digitalOutmode == kOutBinary ? 30 : 4;
}

bool TeachGridHeadings(uint16_t calculationMode, uint16_t evaluationMode,
                       std::array<std::string, 5>* headings) {
    if (evaluationMode >= kThdRgb) {
        *headings = {"THD", "", "", "", ""};
        return true;
    }
    switch (calculationMode) {
    case kXyInt2D:
        *headings = {"X", "Y", "CTO", "INT", "ITO"};
        return true;
    case kSiM2D:
        *headings = {"s", "i", "siTO", "M", "MTO"};
        return true;
    case kXyInt3D:
        *headings = {"X", "Y", "INT", "TOL", ""};
        return true;
    case kSiM3D:
        *headings = {"s", "i", "M", "TOL", ""};
        return true;
    default:
        return false;
    }
}

int UnusedToleranceColumn(uint16_t calculationMode, uint16_t evaluationMode) {
    if (evaluationMode != kMinDist) {
        return 0;
    }
    if (calculationMode == kXyInt2D || calculationMode == kSiM2D) {
        return 3;
    }
    if (calculationMode == kXyInt3D || calculationMode == kSiM3D) {
        return 4;
    }
    return 0;
}

} // namespace params
