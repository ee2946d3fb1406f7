#include "params/mode_rules.h"

#include "params/mode_corrections.h"
#include "params/mode_logic.h"
#include "params/param_pages_ui.h"
#include "params/parameter_model.h"
#include "params/transfer.h"
#include "platform/popups.h"
#include "platform/shell_services.h"
#include "platform/widgets.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

namespace params {
namespace {

constexpr const char* kTriggerExtraItems[] = {"EXT1", "EXT2", "EXT3", "TRANS", "PARA"};

void Enable(QWidget* w, bool enabled) {
    if (w != nullptr) {
        w->setEnabled(enabled);
    }
}

bool PagesBuilt() {
    return Panels().para.power != nullptr;
}

} // namespace

RuleEvents& RulesApplied() {
    static RuleEvents events;
    return events;
}

void InitPowerMode() {
    ParameterPage& u = Panels().para;
    const PowerModeDecision d = CorrectPowerMode(Model());
    Enable(u.powerMode, d.powerModeEnabled);
    Enable(u.power, d.powerEnabled);
    Enable(u.powerValue, d.powerEnabled);
    Enable(u.dynWinLo, d.dynWindowEnabled);
    Enable(u.dynWinHi, d.dynWindowEnabled);
}

void InitEvalMode() {
    ParameterPage& u = Panels().para;
    GroupHoldPage& g = Panels().groupHold;
    const EvalModeDecision d = CorrectEvalMode(Model());
    if (d.known) {
        for (QWidget* w :
             {static_cast<QWidget*>(u.maxVecNo), static_cast<QWidget*>(u.digitalOutmode),
              static_cast<QWidget*>(g.colorGroup), static_cast<QWidget*>(g.groupTable),
              static_cast<QWidget*>(g.resetGroups)}) {
            Enable(w, !d.outputPattern);
        }
        Enable(u.intLim, d.intLimEnabled);
        Enable(u.calculationMode, d.calculationModeEnabled);
        Enable(u.trigger, d.triggerEnabled);
        if (d.outputPattern) {
            InitMaxVecNo();
        }
    }
    RulesApplied().evaluationMode.Notify();
}

void InitCalcMode() {
    // The views of the calculation mode are the teach page's and the data
    // panel's; they follow the announcement.
    RulesApplied().calculationMode.Notify();
}

void InitExteach() {
    ParameterModel& m = Model();
    ParameterPage& u = Panels().para;
    const int items = u.trigger->count();
    CorrectExteachTrigger(m);
    if (m.Value(kExternTeach) != kExTeachOff) {
        if (items >= 3) {
            QSignalBlocker block(u.trigger);
            while (u.trigger->count() > 2) {
                u.trigger->removeItem(2);
            }
        }
    } else if (items <= 2) {
        QSignalBlocker block(u.trigger);
        for (int i = 0; i < 5; ++i) {
            u.trigger->insertItem(2 + i, kTriggerExtraItems[i], 2 + i);
        }
    }
}

void InitTrigger() {
    const TriggerDecision d = CorrectTrigger(Model());
    Enable(Panels().para.externTeach, d.externTeachEnabled);
    Transfer().SetParaSetSelectable(d.paraSetSelectable);
    if (!d.paraSetSelectable) {
        Transfer().SelectParaSet(0);
    }
    RulesApplied().trigger.Notify();
}

void InitColorGroups() {
    // Only displays depend on the switch: the data panel follows.
    RulesApplied().colorGroups.Notify();
}

void InitMaxVecNo() {
    ParameterModel& m = Model();
    GroupHoldPage& g = Panels().groupHold;
    const MaxVecNoCorrection c = CorrectMaxVecNo(m, [] {
        shell::Shell().ShowPage(shell::kPageParameter);
        platform::MessagePopup("INFO!", kTextMaxVecNoTooHigh);
    });
    if (c.groupsOn) {
        for (int row = 1; row <= kTeachRows; ++row) {
            g.groupTable->SetCellBackground(
                row, 1, c.groupReset[row - 1] ? kResetGroupCellColor : kGroupCellColor);
        }
        if (c.anyGroupReset) {
            shell::Shell().ShowPage(shell::kPageGroupHold);
            platform::MessagePopup("INFO!", kTextGroupTooHigh);
        }
    }

    const int n = m.Value(kMaxVecNo);
    for (int row = 1; row <= kTeachRows; ++row) {
        g.groupTable->SetRowLabelColor(row, RowLabelColour(row - 1, n));
    }
    // The hold table has the fail-state row first; with n = 0 it keeps its colour.
    for (int row = n == 0 ? 2 : 1; row <= kTeachRows + 1; ++row) {
        g.holdTable->SetRowLabelColor(row, row <= n + 1 ? kActiveRowColor : kInactiveRowColor);
    }
    RulesApplied().maxVecNo.Notify();
}

void InitPanelCtrlAttr() {
    if (!PagesBuilt()) {
        return; // a program without panels has no controls to set
    }
    InitPowerMode();
    InitEvalMode();
    InitCalcMode();
    InitExteach();
    InitTrigger();
    InitColorGroups();
    InitMaxVecNo();
    RulesApplied().chain.Notify();
}

void ApplyRulesAfterRead() {
    if (!PagesBuilt()) {
        return;
    }
    InitPanelCtrlAttr();
    RulesApplied().redrawGraphs.Notify(/*show=*/true);
}

} // namespace params
