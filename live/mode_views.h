// The data panel, the big panels and the graphs follow the operating-mode
// rules as they run: which displays the evaluation mode and the colour
// groups leave, the 3D view captions and the INT chart's range of the
// calculation mode, and the graphs drawn anew after a read.
#pragma once

#include "platform/notifier.h"

namespace params {
class ParameterModel;
struct RuleEvents;
} // namespace params

namespace live {

struct LivePanels;
class GraphView;

// One window's live panels following the rules of that window's parameter
// pages, for as long as it lives.
class ModeViews {
public:
    ModeViews(LivePanels& panels, params::ParameterModel& model, params::RuleEvents& rules,
              GraphView& graphs);
    ModeViews(const ModeViews&) = delete;
    ModeViews& operator=(const ModeViews&) = delete;

    // Names and colours of the X/Y/INT (s/i/M) displays and of the
    // signal-graph panel's values.
    void SetDispNames();
    // Which pages and displays of the data panel the modes need.
    void SetTabVis();
    // The trigger LED is shown when a trigger mode or external teach is set.
    void SetLedTrigVis();

private:
    void ShowGroupDisplay(bool shown);
    void FollowEvaluationMode();
    void FollowCalculationMode();
    void FollowColourGroups();

    LivePanels& panels_;
    params::ParameterModel& model_;
    GraphView& graphs_;
    platform::Subscriptions subscriptions_;
};

} // namespace live
