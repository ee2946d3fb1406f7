#include "live/mode_views.h"

#include "live/graphs.h"
#include "live/live_ui.h"
#include "params/mode_logic.h"
#include "params/mode_rules.h"
#include "params/parameter_model.h"
#include "platform/graph.h"
#include "platform/widgets.h"

#include <QLabel>

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
        }
    });
    rules.calculationMode.Subscribe([] {
        if (Built()) {
            FollowCalculationMode();
        }
    });
    rules.colorGroups.Subscribe([] {
        if (Built()) {
            FollowColourGroups();
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
