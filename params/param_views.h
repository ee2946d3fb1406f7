// The parameter subsystem's views of one window: the mode rules on its
// pages, the pages as views of the model, the pages' callbacks, and SEND
// and GET. The window makes them once its panels are built and drops them
// before the panels go; every subscription and binding ends with them.
#pragma once

#include "params/mode_rules.h"
#include "params/param_callbacks.h"
#include "params/parameter_file.h"
#include "params/parameter_view.h"
#include "params/transfer.h"

namespace com232 {
class SensorLink;
}

namespace params {

struct ParamPanels;

class ParamViews {
public:
    // The rules announce themselves in `ruleEvents`, to which other
    // subsystems' views of the window subscribe.
    ParamViews(ParamPanels& panels, com232::SensorLink& link, ParameterModel& model,
               TransferState& transferState, RuleEvents& ruleEvents)
        : rules(panels, model, transferState, ruleEvents), pages(panels, model, rules),
          callbacks(panels, model, rules), file(model, rules),
          transfer(link, model, transferState, file) {}
    ParamViews(const ParamViews&) = delete;
    ParamViews& operator=(const ParamViews&) = delete;

    ModeRules rules;
    // The pages follow the model before any callback is bound, so that a
    // callback finds its edit in the model already.
    ParameterView pages;
    ParamPageCallbacks callbacks;
    ParameterFileCommands file;
    TransferCommands transfer;
};

} // namespace params
