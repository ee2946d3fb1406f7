#include "teach/teach_view.h"

#include "params/mode_rules.h"

namespace teach {

TeachViews::TeachViews(TeachPanels& panels, live::DataPanel& data, TeachState& state,
                       const live::LiveParts& parts, params::RuleEvents& rules,
                       live::DisplayRefresh& refresh, const live::LiveViewHooks& hooks)
    : panels_(panels), model_(parts.model), page_(panels, data, parts.model, parts.frames, hooks),
      attributes_(panels.attributes, data, parts.model, hooks.initGraphs),
      mean_(panels, state, parts, refresh, hooks, [this] { InitTeachPanel(); }),
      graph_(panels, state, parts, refresh, hooks, [this] { InitTeachPanel(); }),
      displays_(panels, parts.frames, refresh) {
    FollowModeRules(rules);
}

} // namespace teach
