#include "params/mode_rules.h"

#include "params/mode_corrections.h"
#include "params/mode_logic.h"
#include "params/param_pages_ui.h"
#include "params/parameter_model.h"
#include "params/transfer_state.h"
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

} // namespace

ModeRules::ModeRules(ParamPanels& panels, ParameterModel& model, TransferState& transfer,
                     RuleEvents& events)
    : panels_(panels), model_(model), transfer_(transfer), events_(events) {
    afterRead_ = transfer_.setRead.Connect([this] { ApplyRulesAfterRead(); });
}

bool ModeRules::PagesBuilt() const {
    return panels_.para.power != nullptr;
}

void ModeRules::InitPowerMode() {
    ParameterPage& u = panels_.para;
    const PowerModeDecision d = CorrectPowerMode(model_);
    Enable(u.powerMode, d.powerModeEnabled);
    Enable(u.power, d.powerEnabled);
    Enable(u.powerValue, d.powerEnabled);
    Enable(u.dynWinLo, d.dynWindowEnabled);
    Enable(u.dynWinHi, d.dynWindowEnabled);
}

void ModeRules::InitEvalMode() {
    ParameterPage& u = panels_.para;
    GroupHoldPage& g = panels_.groupHold;
    const EvalModeDecision d = CorrectEvalMode(model_);
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
    events_.evaluationMode.Notify();
}

void ModeRules::InitCalcMode() {
    // The views of the calculation mode are the teach page's and the data
    // panel's; they follow the announcement.
    events_.calculationMode.Notify();
}

void ModeRules::InitExteach() {
    ParameterPage& u = panels_.para;
    const int items = u.trigger->count();
    CorrectExteachTrigger(model_);
    if (model_.Value(kExternTeach) != kExTeachOff) {
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

void ModeRules::InitTrigger() {
    const TriggerDecision d = CorrectTrigger(model_);
    Enable(panels_.para.externTeach, d.externTeachEnabled);
    transfer_.SetParaSetSelectable(d.paraSetSelectable);
    if (!d.paraSetSelectable) {
        transfer_.SelectParaSet(0);
    }
    events_.trigger.Notify();
}

void ModeRules::InitColorGroups() {
    // Only displays depend on the switch: the data panel follows.
    events_.colorGroups.Notify();
}

void ModeRules::InitMaxVecNo() {
    GroupHoldPage& g = panels_.groupHold;
    const MaxVecNoCorrection c = CorrectMaxVecNo(model_, [] {
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

    const int n = model_.Value(kMaxVecNo);
    for (int row = 1; row <= kTeachRows; ++row) {
        g.groupTable->SetRowLabelColor(row, RowLabelColour(row - 1, n));
    }
    // The hold table has the fail-state row first; with n = 0 it keeps its colour.
    for (int row = n == 0 ? 2 : 1; row <= kTeachRows + 1; ++row) {
        g.holdTable->SetRowLabelColor(row, row <= n + 1 ? kActiveRowColor : kInactiveRowColor);
    }
    events_.maxVecNo.Notify();
}

void ModeRules::InitPanelCtrlAttr() {
    if (!PagesBuilt()) {
        return; // a window without pages has no controls to set
    }
    InitPowerMode();
    InitEvalMode();
    InitCalcMode();
    InitExteach();
    InitTrigger();
    InitColorGroups();
    InitMaxVecNo();
    events_.chain.Notify();
}

void ModeRules::ApplyRulesAfterRead() {
    if (!PagesBuilt()) {
        return;
    }
    InitPanelCtrlAttr();
    events_.redrawGraphs.Notify(/*show=*/true);
}

} // namespace params
