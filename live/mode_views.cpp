#include "live/mode_views.h"

#include "live/graphs.h"
#include "live/live_ui.h"
#include "params/mode_logic.h"
#include "params/mode_rules.h"
#include "params/parameter_model.h"
#include "platform/graph.h"
#include "platform/widgets.h"

#include <QLabel>
#include <QTabWidget>

namespace live {
namespace {

void Show(QWidget* w, bool shown) {
    if (w != nullptr) {
        w->setVisible(shown);
    }
}

} // namespace

ModeViews::ModeViews(LivePanels& panels, params::ParameterModel& model, params::RuleEvents& rules,
                     GraphView& graphs)
    : panels_(panels), model_(model), graphs_(graphs) {
    if (panels_.data.panel == nullptr) {
        return; // no panels to follow the rules
    }
    subscriptions_ += rules.evaluationMode.Connect([this] {
        FollowEvaluationMode();
        SetDispNames();
    });
    subscriptions_ += rules.calculationMode.Connect([this] {
        FollowCalculationMode();
        SetTabVis();
    });
    subscriptions_ += rules.trigger.Connect([this] { SetLedTrigVis(); });
    subscriptions_ += rules.colorGroups.Connect([this] { FollowColourGroups(); });
    // The intensity band shows the teach row selected.
    subscriptions_ += model_.teachSelectionChanged.Connect([this] { graphs_.InitGraphInt2(); });
    subscriptions_ += rules.redrawGraphs.Connect([this](bool show) {
        graphs_.InitGraphs();
        if (show) {
            graphs_.ShowGraph();
        }
    });
}

void ModeViews::ShowGroupDisplay(bool shown) {
    DataPanel& d = panels_.data;
    Show(d.group, shown);
    Show(d.groupLabel, shown);
}

// Delta C and the colour number with a colour distance; the output LEDs
// with an output pattern.
void ModeViews::FollowEvaluationMode() {
    const params::EvalModeDecision e = params::DecideEvalMode(model_.EvaluationMode());
    if (!e.known) {
        return;
    }
    DataPanel& d = panels_.data;
    Show(d.deltaC, e.distanceShown);
    Show(d.deltaCLabel, e.distanceShown);
    Show(d.color, e.distanceShown);
    Show(d.colorLabel, e.distanceShown);
    for (int i = 0; i < 5; ++i) {
        Show(d.out[i], i < e.outputLeds);
        Show(d.outLabel[i], i < e.outputLeds);
    }
    if (e.outputPattern) {
        ShowGroupDisplay(false);
        Show(panels_.grpBig.panel, false);
    }
    if (e.colourBigPanelHidden) {
        Show(panels_.colBig.panel, false);
    }
}

void ModeViews::FollowCalculationMode() {
    DataPanel& d = panels_.data;
    const uint16_t calc = model_.CalculationMode();
    const uint16_t eval = model_.EvaluationMode();
    if (eval < params::kThdRgb && params::Is3D(calc)) {
        const char* const xyInt[] = {"X/Y", "X/INT", "Y/INT"};
        const char* const siM[] = {"s/i", "s/M", "i/M"};
        for (int v = 0; v < 3; ++v) {
            d.viewLabel[v]->setText(params::IsSiM(calc) ? siM[v] : xyInt[v]);
        }
    }
    ctl::Graph* intChart = d.intChart;
    if (!intChart->YAutoScale() && calc <= params::kSiM3D) {
        intChart->SetYRange(0, params::IsSiM(calc) ? 1200 : 4096);
    }
}

void ModeViews::FollowColourGroups() {
    const bool on = model_.Value(params::kColorGroup) != 0;
    ShowGroupDisplay(on);
    if (!on) {
        Show(panels_.grpBig.panel, false);
    }
}

void ModeViews::SetDispNames() {
    LivePanels& p = panels_;
    DataPanel& d = p.data;
    const bool siM = params::IsSiM(model_.CalculationMode());
    const char* const names[3] = {siM ? "s" : "X", siM ? "i" : "Y", siM ? "M" : "INT"};
    d.xLabel->setText(names[0]);
    d.yLabel->setText(names[1]);
    d.intLabel->setText(names[2]);
    const uint32_t(*colors)[2] = siM ? params::kSiValueColours : params::kXyValueColours;
    d.x->SetColors(colors[0][0], colors[0][1]);
    d.y->SetColors(colors[1][0], colors[1][1]);
    SignalGraphPanel& s = p.signalGraph;
    for (int i = 0; i < 3; ++i) {
        s.valueLabel[3 + i]->setText(names[i]);
        s.signal->ReplaceItem(3 + i, names[i], 3 + i);
    }
}

void ModeViews::SetTabVis() {
    DataPanel& d = panels_.data;
    const uint16_t calc = model_.CalculationMode();
    const uint16_t eval = model_.EvaluationMode();
    QTabWidget* tabs = d.tabs;
    const int shown = tabs->currentIndex();
    if (eval == params::kThdRgb) {
        tabs->setTabVisible(kDataPageInt, false);
        tabs->setTabVisible(kDataPage2D, false);
        tabs->setTabVisible(kDataPage3D, false);
        for (QWidget* w : {static_cast<QWidget*>(d.x), static_cast<QWidget*>(d.y),
                           static_cast<QWidget*>(d.intensity), static_cast<QWidget*>(d.xLabel),
                           static_cast<QWidget*>(d.yLabel), static_cast<QWidget*>(d.intLabel)}) {
            Show(w, false);
        }
        tabs->setCurrentIndex(kDataPageRgb);
        return;
    }
    tabs->setTabVisible(kDataPageInt, true);
    for (QWidget* w : {static_cast<QWidget*>(d.x), static_cast<QWidget*>(d.y),
                       static_cast<QWidget*>(d.intensity), static_cast<QWidget*>(d.xLabel),
                       static_cast<QWidget*>(d.yLabel), static_cast<QWidget*>(d.intLabel)}) {
        Show(w, true);
    }
    const bool is3D = params::Is3D(calc);
    tabs->setTabVisible(kDataPage2D, !is3D);
    tabs->setTabVisible(kDataPage3D, is3D);
    if (shown == kDataPage2D || shown == kDataPage3D) {
        tabs->setCurrentIndex(is3D ? kDataPage3D : kDataPage2D);
    }
}

void ModeViews::SetLedTrigVis() {
    DataPanel& d = panels_.data;
    const bool shown =
        model_.Value(params::kTrigger) != 0 || model_.Value(params::kExternTeach) != 0;
    Show(d.trigger, shown);
    Show(d.triggerLabel, shown);
}

} // namespace live
