#include "params/param_callbacks.h"

#include "params/mode_rules.h"
#include "params/param_pages_ui.h"
#include "params/parameter_model.h"
#include "params/teach_convert.h"
#include "platform/popups.h"
#include "platform/shell_services.h"
#include "platform/widgets.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace params {
namespace {

bool ConfirmTableReset() {
    return platform::ConfirmPopup("ATTENTION!", "Do you really want to reset the table?") == 1;
}

} // namespace

ParamPageCallbacks::ParamPageCallbacks(ParamPanels& panels, ParameterModel& model, ModeRules& rules)
    : panels_(panels), model_(model), rules_(rules) {
    if (panels_.para.power != nullptr) {
        WireParameterPages();
    }
}

int ParamPageCallbacks::RunChainOnCommit(ctl::Event e) {
    if (e == ctl::Event::Commit) {
        rules_.InitPanelCtrlAttr();
    }
    return 0;
}

int ParamPageCallbacks::CBF_SlidePower(QWidget*, ctl::Event) {
    return 0;
}
int ParamPageCallbacks::CBF_EditPmode(QWidget*, ctl::Event e) {
    return RunChainOnCommit(e);
}
int ParamPageCallbacks::CBF_EditLedMode(QWidget*, ctl::Event e) {
    return RunChainOnCommit(e);
}
int ParamPageCallbacks::CBF_EditGain(QWidget*, ctl::Event) {
    return 0;
}
int ParamPageCallbacks::CBF_EditDynWinLoHi(QWidget*, ctl::Event) {
    return 0;
}
int ParamPageCallbacks::CBF_EditAverage(QWidget*, ctl::Event) {
    return 0;
}
int ParamPageCallbacks::CBF_EditIntegral(QWidget*, ctl::Event) {
    return 0;
}
int ParamPageCallbacks::CBF_EditMaxVecNo(QWidget*, ctl::Event e) {
    return RunChainOnCommit(e);
}
int ParamPageCallbacks::CBF_EditDigOutmode(QWidget*, ctl::Event e) {
    return RunChainOnCommit(e);
}
int ParamPageCallbacks::CBF_EditIntlim(QWidget*, ctl::Event) {
    return 0;
}
int ParamPageCallbacks::CBF_EditEvalmode(QWidget*, ctl::Event e) {
    return RunChainOnCommit(e);
}
int ParamPageCallbacks::CBF_EditExteach(QWidget*, ctl::Event e) {
    return RunChainOnCommit(e);
}
int ParamPageCallbacks::CBF_EditTrigger(QWidget*, ctl::Event e) {
    return RunChainOnCommit(e);
}
int ParamPageCallbacks::CBF_EditHold(QWidget*, ctl::Event) {
    return 0;
}
int ParamPageCallbacks::CBF_EditGridHold(QWidget*, ctl::Event) {
    return 0;
}
int ParamPageCallbacks::CBF_EditColorGroups(QWidget*, ctl::Event e) {
    return RunChainOnCommit(e);
}
int ParamPageCallbacks::CBF_EditResetHold(QWidget*, ctl::Event) {
    return 0;
}

int ParamPageCallbacks::CBF_EditCalcmode(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        SortTableTolerance(model_, static_cast<uint16_t>(panels_.para.calculationMode->Val()));
        rules_.InitPanelCtrlAttr();
        rules_.Events().redrawGraphs.Notify(/*show=*/false);
    }
    return 0;
}

int ParamPageCallbacks::CBF_EditGridGroups(QWidget*, ctl::Event e) {
    if (e == ctl::Event::ValueChanged) {
        rules_.InitPanelCtrlAttr();
        shell::Shell().ShowPage(shell::kPageGroupHold);
    }
    return 0;
}

int ParamPageCallbacks::CBF_ButtonResetGroupTable(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit || !ConfirmTableReset()) {
        return 0;
    }
    ctl::U16Table* t = panels_.groupHold.groupTable;
    for (int row = 1; row <= kTeachRows; ++row) {
        model_.SetCell(row - 1, kGroup, 0);
        t->SetCellBackground(row, 1, 0xFFFFFF);
    }
    return 0;
}

int ParamPageCallbacks::CBF_ButtonResetHoldTable(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit || !ConfirmTableReset()) {
        return 0;
    }
    const auto value = static_cast<uint16_t>(panels_.groupHold.resetHold->value());
    ParameterModel& m = model_;
    m.SetValue(kHoldFail, value);
    for (int r = 0; r < kTeachRows; ++r) {
        m.SetCell(r, kHold, value);
    }
    return 0;
}

} // namespace params
