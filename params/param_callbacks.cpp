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

int RunChainOnCommit(ctl::Event e) {
    if (e == ctl::Event::Commit) {
        InitPanelCtrlAttr();
    }
    return 0;
}

bool ConfirmTableReset() {
    return platform::ConfirmPopup("ATTENTION!", "Do you really want to reset the table?") == 1;
}

} // namespace

int CBF_SlidePower(QWidget*, ctl::Event) {
    return 0;
}
int CBF_EditPmode(QWidget*, ctl::Event e) {
    return RunChainOnCommit(e);
}
int CBF_EditLedMode(QWidget*, ctl::Event e) {
    return RunChainOnCommit(e);
}
int CBF_EditGain(QWidget*, ctl::Event) {
    return 0;
}
int CBF_EditDynWinLoHi(QWidget*, ctl::Event) {
    return 0;
}
int CBF_EditAverage(QWidget*, ctl::Event) {
    return 0;
}
int CBF_EditIntegral(QWidget*, ctl::Event) {
    return 0;
}
int CBF_EditMaxVecNo(QWidget*, ctl::Event e) {
    return RunChainOnCommit(e);
}
int CBF_EditDigOutmode(QWidget*, ctl::Event e) {
    return RunChainOnCommit(e);
}
int CBF_EditIntlim(QWidget*, ctl::Event) {
    return 0;
}
int CBF_EditEvalmode(QWidget*, ctl::Event e) {
    return RunChainOnCommit(e);
}
int CBF_EditExteach(QWidget*, ctl::Event e) {
    return RunChainOnCommit(e);
}
int CBF_EditTrigger(QWidget*, ctl::Event e) {
    return RunChainOnCommit(e);
}
int CBF_EditHold(QWidget*, ctl::Event) {
    return 0;
}
int CBF_EditGridHold(QWidget*, ctl::Event) {
    return 0;
}
int CBF_EditColorGroups(QWidget*, ctl::Event e) {
    return RunChainOnCommit(e);
}
int CBF_EditResetHold(QWidget*, ctl::Event) {
    return 0;
}

int CBF_EditCalcmode(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        SortTableTolerance(Model(), static_cast<uint16_t>(Panels().para.calculationMode->Val()));
        InitPanelCtrlAttr();
        RulesApplied().redrawGraphs.Notify(/*show=*/false);
    }
    return 0;
}

int CBF_EditGridGroups(QWidget*, ctl::Event e) {
    if (e == ctl::Event::ValueChanged) {
        InitPanelCtrlAttr();
        shell::Shell().ShowPage(shell::kPageGroupHold);
    }
    return 0;
}

int CBF_ButtonResetGroupTable(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit || !ConfirmTableReset()) {
        return 0;
    }
    ctl::U16Table* t = Panels().groupHold.groupTable;
    for (int row = 1; row <= kTeachRows; ++row) {
        Model().SetCell(row - 1, kGroup, 0);
        t->SetCellBackground(row, 1, 0xFFFFFF);
    }
    return 0;
}

int CBF_ButtonResetHoldTable(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit || !ConfirmTableReset()) {
        return 0;
    }
    const auto value = static_cast<uint16_t>(Panels().groupHold.resetHold->value());
    ParameterModel& m = Model();
    m.SetValue(kHoldFail, value);
    for (int r = 0; r < kTeachRows; ++r) {
        m.SetCell(r, kHold, value);
    }
    return 0;
}

} // namespace params
