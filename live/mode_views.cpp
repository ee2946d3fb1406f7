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

bool Built() {
    return Panels().data.panel != nullptr;
}

void ShowGroupDisplay(bool shown) {
    DataPanel& d = Panels().data;
    Show(d.group, shown);
    Show(d.groupLabel, shown);
}

// Delta C and the colour number with a colour distance; the output LEDs
// with an output pattern.
void FollowEvaluationMode() {
    const params::EvalModeDecision e = params::DecideEvalMode(params::Model().EvaluationMode());
    if (!e.known) {
        return;
    }
    DataPanel& d = Panels().data;
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
        Show(Panels().grpBig.panel, false);
    }
    if (e.colourBigPanelHidden) {
        Show(Panels().colBig.panel, false);
    }
}

void FollowCalculationMode() {
    DataPanel& d = Panels().data;
    const uint16_t calc = params::Model().CalculationMode();
    const uint16_t eval = params::Model().EvaluationMode();
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

void FollowColourGroups() {
    const bool on = params::Model().Value(params::kColorGroup) != 0;
    ShowGroupDisplay(on);
    if (!on) {
        Show(Panels().grpBig.panel, false);
    }
}

} // namespace

void SetDispNames() {
    LivePanels& p = Panels();
    DataPanel& d = p.data;
    const bool siM = params::IsSiM(params::Model().CalculationMode());
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

void SetTabVis() {
    DataPanel& d = Panels().data;
    const uint16_t calc = params::Model().CalculationMode();
    const uint16_t eval = params::Model().EvaluationMode();
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

void SetLedTrigVis() {
    DataPanel& d = Panels().data;
    const bool shown = params::Model().Value(params::kTrigger) != 0 ||
                       params::Model().Value(params::kExternTeach) != 0;
    Show(d.trigger, shown);
    Show(d.triggerLabel, shown);
}

void FollowModeRules() {
    static bool subscribed = false;
    if (subscribed) {
        return;
    }
    subscribed = true;
    params::RuleEvents& rules = params::RulesApplied();
    rules.evaluationMode.Subscribe([] {
        if (Built()) {
            FollowEvaluationMode();
            SetDispNames();
        }
    });
    rules.calculationMode.Subscribe([] {
        if (Built()) {
            FollowCalculationMode();
            SetTabVis();
        }
    });
    rules.trigger.Subscribe([] {
        if (Built()) {
            SetLedTrigVis();
        }
    });
    rules.colorGroups.Subscribe([] {
        if (Built()) {
            FollowColourGroups();
        }
    });
    // The intensity band shows the teach row selected.
    params::Model().teachSelectionChanged.Subscribe([] {
        if (Built()) {
            InitGraphInt2();
        }
    });
    rules.redrawGraphs.Subscribe([](bool show) {
        if (Built()) {
            InitGraphs();
            if (show) {
                ShowGraph();
            }
        }
    });
}

} // namespace live
