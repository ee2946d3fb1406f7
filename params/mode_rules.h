// The operating-mode rules: after a mode selector changes, or a parameter set
// has been read, they enable or dim controls, force dependent values, change
// the TRIGGER list and the teach grid headings, show or hide displays, warn
// about too-high values and colour the active rows.
#pragma once

#include "platform/notifier.h"

namespace params {

void InitPowerMode();
void InitEvalMode();
void InitCalcMode();
// With external teach the TRIGGER list is cut to CONT and SELF (a trigger
// beyond them becomes CONT); without it the list is whole.
void InitExteach();
void InitTrigger();
void InitColorGroups();
void InitMaxVecNo();

// The rule chain: the seven rules in order, then the teach views follow
// (RuleEvents::chain). Without panels nothing happens.
void InitPanelCtrlAttr();

// What a read of the parameter set runs after the model took it: the seven
// rules, the teach views, and the graph redraw.
void ApplyRulesAfterRead();

// Announced when a rule has run, so that other subsystems' views apply
// their part of it (the teach page's columns, headings and labels, the data
// panel's displays) at the same point of the chain.
struct RuleEvents {
    platform::Notifier<> evaluationMode;  // end of InitEvalMode
    platform::Notifier<> calculationMode; // end of InitCalcMode
    platform::Notifier<> trigger;         // end of InitTrigger
    platform::Notifier<> colorGroups;     // InitColorGroups
    platform::Notifier<> maxVecNo;        // end of InitMaxVecNo
    platform::Notifier<> chain;           // end of InitPanelCtrlAttr
    // The graphs are to be drawn anew from the set (true: and shown), after
    // a read or a change of the calculation mode.
    platform::Notifier<bool> redrawGraphs;
};
RuleEvents& RulesApplied();

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
