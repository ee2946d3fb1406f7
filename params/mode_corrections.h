// The values the operating-mode rules force, applied to a parameter model
// without any panel: the rules' half that changes the set. The program's
// rules run these and then set up their controls; the command-line tool runs
// the whole chain on a set it reads, so that it holds what the program would.
#pragma once

#include "params/mode_logic.h"
#include "params/parameter_model.h"

#include <functional>
#include <string>
#include <vector>

namespace params {

// Texts of the two warnings.
inline constexpr const char* kTextMaxVecNoTooHigh =
    "ATTENTION! \n\nMAXCOL-No. is too high. \n\nIf color group is disabled and OUMODE=DIRECT LO or "
    "\nDIRECT HI, the maximum number is 5. \nIf OUTMODE=BINARY, the maximum number is 31. \n\nIf "
    "color group is enabled, the maximum number is 31. \n\nMAXCOL-No. will be set to maximum "
    "value.";
inline constexpr const char* kTextGroupTooHigh =
    "ATTENTION! \nIf OUTMODE=DIRECT HI or DIRECT LO: \n5 groups are possible! GROUP 0,1,2,3,4. "
    "\nIf OUTMODE=BINARY: \n31 groups are possible. GROUP 0,1,2.....30. \n\n Cell will be set to "
    "0.";

// LED mode, external teach and power mode.
PowerModeDecision CorrectPowerMode(ParameterModel& m);
// An evaluation mode with an output pattern forces groups off, its number
// of rows and BINARY output; some modes force INTLIM 0 or TRIGGER CONT.
EvalModeDecision CorrectEvalMode(ParameterModel& m);
// With external teach on, a trigger beyond SELF becomes CONT.
void CorrectExteachTrigger(ParameterModel& m);
// A trigger other than CONT and SELF turns external teach off.
TriggerDecision CorrectTrigger(ParameterModel& m);

struct MaxVecNoCorrection {
    bool groupsOn = false;
    std::vector<bool> groupReset; // per teach row: its group was above the highest
    bool anyGroupReset = false;
};
// MAXCOL-No. cut to its limit (`beforeCut` runs first, when it is cut) and,
// with colour groups on, every group above the highest set to 0.
MaxVecNoCorrection CorrectMaxVecNo(ParameterModel& m, const std::function<void()>& beforeCut = {});

// The whole chain, in the order a read set goes through it. Returns the
// warnings the program would show, in order.
std::vector<std::string> ApplyModeRules(ParameterModel& m);

} // namespace params
