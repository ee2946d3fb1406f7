// The operating-mode rules: after a mode selector changes, or a parameter set
// has been read, they enable or dim controls, force dependent values, change
// the TRIGGER list and the teach grid headings, show or hide displays, warn
// about too-high values and colour the active rows.
#pragma once

#include "params/mode_corrections.h"
#include "platform/notifier.h"

namespace params {

struct ParamPanels;
class TransferState;

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

// The rules on one window's parameter pages, for the parameter model and
// the transfer state of its sensor; each rule announces itself in `events`.
// A set that GET brought into the model goes through the rules at once.
class ModeRules {
public:
    ModeRules(ParamPanels& panels, ParameterModel& model, TransferState& transfer,
              RuleEvents& events);
    ModeRules(const ModeRules&) = delete;
    ModeRules& operator=(const ModeRules&) = delete;

    void InitPowerMode();
    void InitEvalMode();
    void InitCalcMode();
    // With external teach the TRIGGER list is cut to CONT and SELF (a
    // trigger beyond them becomes CONT); without it the list is whole.
    void InitExteach();
    void InitTrigger();
    void InitColorGroups();
    void InitMaxVecNo();

    // The rule chain: the seven rules in order, then the teach views follow
    // (RuleEvents::chain). Without pages nothing happens.
    void InitPanelCtrlAttr();

    // What a read of the parameter set runs after the model took it: the
    // seven rules, the teach views, and the graph redraw.
    void ApplyRulesAfterRead();

    RuleEvents& Events() { return events_; }

private:
    bool PagesBuilt() const;

    ParamPanels& panels_;
    ParameterModel& model_;
    TransferState& transfer_;
    RuleEvents& events_;
    platform::Subscription afterRead_;
};

} // namespace params
