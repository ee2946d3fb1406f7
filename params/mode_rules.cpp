#include "params/mode_rules.h"

#include "app/panels.h"
#include "live/graphs.h"
#include "params/mode_logic.h"
#include "params/parameter_set.h"
#include "params/transfer.h"
#include "platform/graph.h"
#include "platform/popups.h"
#include "platform/tab_control.h"
#include "platform/widgets.h"
#include "teach/teach_labels.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace params {
namespace {

constexpr const char* kTriggerExtraItems[] = {"EXT1", "EXT2", "EXT3", "TRANS", "PARA"};

void Show(QWidget* w, bool shown) {
    if (w != nullptr) {
        w->setVisible(shown);
    }
}

void Enable(QWidget* w, bool enabled) {
    if (w != nullptr) {
        w->setEnabled(enabled);
    }
}

void SetColorGroupSwitch(bool on) {
    QCheckBox* sw = app::P().groupHold.colorGroup;
    QSignalBlocker block(sw);
    sw->setChecked(on);
}

void ShowDeltaCAndColor(bool shown) {
    live::DataPanel& d = app::P().data;
    Show(d.deltaC, shown);
    Show(d.deltaCLabel, shown);
    Show(d.color, shown);
    Show(d.colorLabel, shown);
}

void ShowOutputLeds(int count) {
    live::DataPanel& d = app::P().data;
    for (int i = 0; i < 5; ++i) {
        Show(d.out[i], i < count);
        Show(d.outLabel[i], i < count);
    }
}

void ShowGroupDisplay(bool shown) {
    live::DataPanel& d = app::P().data;
    Show(d.group, shown);
    Show(d.groupLabel, shown);
}

// COL5 and THD RGB put the output pattern on the digital outputs: no delta C
// or colour number, no colour groups, a fixed number of rows, BINARY output.
void ForceOutputPatternMode(int outputs, int rows) {
    app::Panels& p = app::P();
    ParameterPage& u = p.para;
    GroupHoldPage& g = p.groupHold;
    ShowDeltaCAndColor(false);
    ShowOutputLeds(outputs);
    SetColorGroupSwitch(false);
    Enable(g.colorGroup, false);
    Enable(g.groupTable, false);
    Enable(g.resetGroups, false);
    ShowGroupDisplay(false);
    Show(p.grpBig.panel, false);
    u.maxVecNo->SetVal(rows);
    Enable(u.maxVecNo, false);
    u.digitalOutmode->SetVal(kOutBinary);
    Enable(u.digitalOutmode, false);
}

} // namespace

void InitPowerMode() {
    ParameterPage& u = app::P().para;
    ParameterBlock.set(kPowerMode, static_cast<uint16_t>(u.powerMode->Val()));
    ParameterBlock.set(kLedMode, static_cast<uint16_t>(u.ledMode->Val()));
    ParameterBlock.set(kExternTeach, static_cast<uint16_t>(u.externTeach->Val()));
    const PowerModeDecision d =
        DecidePowerMode(ParameterBlock.get(kLedMode), ParameterBlock.get(kExternTeach),
                        ParameterBlock.get(kPowerMode));
    if (d.externTeachToOff) {
        u.externTeach->SetVal(kExTeachOff);
    }
    if (d.powerModeToStat) {
        u.powerMode->SetVal(kPowerStat);
    }
    Enable(u.powerMode, d.powerModeEnabled);
    if (d.powerToZero) {
        u.power->SetVal(0);
        u.powerValue->SetVal(0);
    }
    Enable(u.power, d.powerEnabled);
    Enable(u.powerValue, d.powerEnabled);
    Enable(u.dynWinLo, d.dynWindowEnabled);
    Enable(u.dynWinHi, d.dynWindowEnabled);
}

void InitEvalMode() {
    app::Panels& p = app::P();
    ParameterPage& u = p.para;
    GroupHoldPage& g = p.groupHold;
    ParameterBlock.set(kCalculationMode, static_cast<uint16_t>(u.calculationMode->Val()));
    ParameterBlock.set(kEvaluationMode, static_cast<uint16_t>(u.evaluationMode->Val()));
    const uint16_t calc = ParameterBlock.get(kCalculationMode);
    const uint16_t eval = ParameterBlock.get(kEvaluationMode);

    ctl::U16Table* grid = p.teachPage.grid;
    grid->SetColumnShown(3, true);
    grid->SetColumnShown(4, true);
    if (const int unused = UnusedToleranceColumn(calc, eval)) {
        grid->SetColumnShown(unused, false);
    }

    if (eval <= kMinDist) {
        ShowOutputLeds(0);
        ShowDeltaCAndColor(true);
        for (QWidget* w :
             {static_cast<QWidget*>(u.maxVecNo), static_cast<QWidget*>(u.intLim),
              static_cast<QWidget*>(u.digitalOutmode), static_cast<QWidget*>(u.calculationMode),
              static_cast<QWidget*>(u.trigger), static_cast<QWidget*>(g.colorGroup),
              static_cast<QWidget*>(g.groupTable), static_cast<QWidget*>(g.resetGroups)}) {
            Enable(w, true);
        }
    } else if (eval == kCol5) {
        ForceOutputPatternMode(5, 5);
        Enable(u.intLim, true);
        Enable(u.calculationMode, true);
        Enable(u.trigger, true);
        InitMaxVecNo();
    } else if (eval == kThdRgb) {
        ForceOutputPatternMode(3, 3);
        Show(p.colBig.panel, false);
        u.intLim->SetVal(0);
        Enable(u.intLim, false);
        Enable(u.calculationMode, false);
        u.trigger->SetVal(kTrigCont);
        Enable(u.trigger, false);
        InitMaxVecNo();
    }
    teach::SetDispNames();
}

void InitCalcMode() {
    app::Panels& p = app::P();
    ParameterPage& u = p.para;
    ParameterBlock.set(kCalculationMode, static_cast<uint16_t>(u.calculationMode->Val()));
    ParameterBlock.set(kEvaluationMode, static_cast<uint16_t>(u.evaluationMode->Val()));
    const uint16_t calc = ParameterBlock.get(kCalculationMode);
    const uint16_t eval = ParameterBlock.get(kEvaluationMode);

    std::array<std::string, 5> headings;
    if (TeachGridHeadings(calc, eval, &headings)) {
        for (int c = 0; c < 5; ++c) {
            p.teachPage.grid->SetColumnHeading(c + 1, QString::fromStdString(headings[c]));
        }
    }
    if (eval < kThdRgb && (calc == kXyInt3D || calc == kSiM3D)) {
        const char* const xyInt[] = {"X/Y", "X/INT", "Y/INT"};
        const char* const siM[] = {"s/i", "s/M", "i/M"};
        for (int v = 0; v < 3; ++v) {
            p.data.viewLabel[v]->setText(calc == kXyInt3D ? xyInt[v] : siM[v]);
        }
    }
    ctl::Graph* intChart = p.data.intChart;
    if (!intChart->YAutoScale() && calc <= kSiM3D) {
        intChart->SetYRange(0, IsSiM(calc) ? 1200 : 4096);
    }
    teach::SetTabVis();
}

void InitExteach(bool keepBlockTrigger) {
    ParameterPage& u = app::P().para;
    ParameterBlock.set(kExternTeach, static_cast<uint16_t>(u.externTeach->Val()));
    const int items = u.trigger->count();
    if (ParameterBlock.get(kExternTeach) != kExTeachOff) {
        if (!keepBlockTrigger) {
            ParameterBlock.set(kTrigger, static_cast<uint16_t>(u.trigger->Val()));
        }
        if (ParameterBlock.get(kTrigger) >= kTrigExt1) {
            u.trigger->SetVal(kTrigCont);
        }
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
    app::Panels& p = app::P();
    ParameterPage& u = p.para;
    ParameterBlock.set(kTrigger, static_cast<uint16_t>(u.trigger->Val()));
    const uint16_t trigger = ParameterBlock.get(kTrigger);
    if (trigger == kTrigCont || trigger == kTrigSelf) {
        Enable(u.externTeach, true);
    } else {
        u.externTeach->SetVal(kExTeachOff);
        Enable(u.externTeach, false);
    }
    const bool para = trigger == kTrigPara;
    Enable(p.main.set0, para);
    Enable(p.main.set1, para);
    if (!para) {
        SelectParaSet(0);
    }
    teach::SetLedTrigVis();
}

void InitColorGroups() {
    app::Panels& p = app::P();
    ParameterBlock.set(kColorGroup, p.groupHold.colorGroup->isChecked() ? 1 : 0);
    if (ParameterBlock.get(kColorGroup) == 0) {
        ShowGroupDisplay(false);
        Show(p.grpBig.panel, false);
    } else {
        ShowGroupDisplay(true);
    }
}

void InitMaxVecNo() {
    app::Panels& p = app::P();
    ParameterPage& u = p.para;
    GroupHoldPage& g = p.groupHold;
    ParameterBlock.set(kMaxVecNo, static_cast<uint16_t>(u.maxVecNo->value()));
    ParameterBlock.set(kDigitalOutmode, static_cast<uint16_t>(u.digitalOutmode->Val()));
    ParameterBlock.set(kColorGroup, g.colorGroup->isChecked() ? 1 : 0);
    const uint16_t outmode = ParameterBlock.get(kDigitalOutmode);
    const bool groupsOn = ParameterBlock.get(kColorGroup) != 0;

    const int limit = MaxVecNoLimit(outmode, groupsOn);
    if (ParameterBlock.get(kMaxVecNo) > limit) {
        p.main.tabs->SetActivePage(app::kPageParameter);
        platform::MessagePopup("INFO!", kTextMaxVecNoTooHigh);
        u.maxVecNo->SetVal(limit);
    }
    if (groupsOn) {
        const int highest = HighestGroup(outmode);
        bool anyReset = false;
        for (int row = 1; row <= kTeachRows; ++row) {
            if (g.groupTable->Val(row, 1) > highest) {
                g.groupTable->SetVal(row, 1, 0);
                g.groupTable->SetCellBackground(row, 1, kResetGroupCellColor);
                anyReset = true;
            } else {
                g.groupTable->SetCellBackground(row, 1, kGroupCellColor);
            }
        }
        if (anyReset) {
            p.main.tabs->SetActivePage(app::kPageGroupHold);
            platform::MessagePopup("INFO!", kTextGroupTooHigh);
        }
    }

    const int n = u.maxVecNo->value();
    for (int row = 1; row <= kTeachRows; ++row) {
        const uint32_t color = row <= n ? kActiveRowColor : kInactiveRowColor;
        p.teachPage.grid->SetRowLabelColor(row, color);
        p.attributes.table->SetRowLabelColor(row, color);
        g.groupTable->SetRowLabelColor(row, color);
    }
    // The hold table has the fail-state row first; with n = 0 it keeps its colour.
    for (int row = n == 0 ? 2 : 1; row <= kTeachRows + 1; ++row) {
        g.holdTable->SetRowLabelColor(row, row <= n + 1 ? kActiveRowColor : kInactiveRowColor);
    }
}

void InitPanelCtrlAttr() {
    InitPowerMode();
    InitEvalMode();
    InitCalcMode();
    InitExteach();
    InitTrigger();
    InitColorGroups();
    InitMaxVecNo();
    teach::InitTeachPanel();
}

void ApplyRulesAfterRead() {
    InitPanelCtrlAttr();
    live::InitGraphs();
    live::ShowGraph();
}

} // namespace params
