// The operating-mode rules: after a mode selector changes, or a parameter set
// has been read, they enable or dim controls, force dependent values, change
// the TRIGGER list and the teach grid headings, show or hide displays, warn
// about too-high values and colour the active rows.
#pragma once

namespace params {

void InitPowerMode();
void InitEvalMode();
void InitCalcMode();
// keepBlockTrigger: inside SetPanelValues the block's TRIGGER keeps the value
// read from the sensor or the file instead of the selector's.
void InitExteach(bool keepBlockTrigger = false);
void InitTrigger();
void InitColorGroups();
void InitMaxVecNo();

// The rule chain: the seven rules in order, then InitTeachPanel.
void InitPanelCtrlAttr();

// What a read of the parameter set runs after SetPanelValues: the seven
// rules, InitTeachPanel, and the graph redraw.
void ApplyRulesAfterRead();

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

} // namespace params
