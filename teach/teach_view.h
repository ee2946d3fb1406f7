// The teach panels as the view of one sensor's teach table and assistants:
// the teach table page, the table-attributes page, the mean-value and the
// graph teach panels, their displays of the live frame, and the labels that
// follow the operating modes. The window makes it once its panels are built
// and ends it before they go; the panels' controls call it while it lives.
#pragma once

#include "live/live_parts.h"

#include "platform/notifier.h"
#include "teach/attributes.h"
#include "teach/graph_teach.h"
#include "teach/mean_teach.h"
#include "teach/teach_displays.h"
#include "teach/teach_edit.h"
#include "teach/teach_state.h"
#include "teach/teach_ui.h"

namespace com232 {
class SensorLink;
}
namespace live {
class DisplayRefresh;
class FrameStream;
struct DataPanel;
} // namespace live
namespace params {
class ParameterModel;
struct RuleEvents;
} // namespace params

namespace teach {

class TeachViews {
public:
    // `data` is the data panel that TEACH DATA TO reads and RESET clears;
    // `rules` tells when the operating-mode rules have run.
    // `parts` are the sensor's the teach assistants read and run GO on;
    // `hooks` reach the window's graphs.
    TeachViews(TeachPanels& panels, live::DataPanel& data, TeachState& state,
               const live::LiveParts& parts, params::RuleEvents& rules,
               live::DisplayRefresh& refresh, const live::LiveViewHooks& hooks);
    TeachViews(const TeachViews&) = delete;
    TeachViews& operator=(const TeachViews&) = delete;

    // Teach page and assistant panels for the evaluation and calculation
    // modes; the mean-value panel's means and largest distances are computed
    // anew from its captured frames, as the mode decides what the distance
    // is.
    void InitTeachPanel();

    TeachPageView& Page() { return page_; }
    AttributesView& Attributes() { return attributes_; }
    MeanTeachView& Mean() { return mean_; }
    GraphTeachView& Graph() { return graph_; }

private:
    // The teach page, the assistant panels and the attribute table follow
    // the mode rules as they run.
    void FollowModeRules(params::RuleEvents& rules);
    void ShowGridColumns();
    void ShowGridHeadings();
    void ShowActiveRows();

    TeachPanels& panels_;
    params::ParameterModel& model_;
    TeachPageView page_;
    AttributesView attributes_;
    MeanTeachView mean_;
    GraphTeachView graph_;
    TeachDisplays displays_;
    platform::Subscriptions rules_;
};

} // namespace teach
