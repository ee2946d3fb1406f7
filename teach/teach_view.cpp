#include "teach/teach_view.h"

#include "params/mode_rules.h"

namespace teach {

TeachViews::TeachViews(TeachPanels& panels, live::DataPanel& data, TeachState& state,
                       com232::SensorLink& link, params::ParameterModel& model,
                       params::RuleEvents& rules, live::FrameStream& frames,
                       live::DisplayRefresh& refresh)
    : panels_(panels), model_(model), page_(panels, data, model, frames),
      attributes_(panels.attributes, data, model),
      mean_(panels, state, link, model, frames, refresh, [this] { InitTeachPanel(); }),
      graph_(panels, state, link, model, frames, refresh, [this] { InitTeachPanel(); }),
      displays_(panels, frames, refresh) {
    FollowModeRules(rules);
}

} // namespace teach
