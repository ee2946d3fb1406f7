// Callbacks of the parameter page and the group/hold page.
#pragma once

#include "platform/controls.h"

#include <memory>

namespace params {

struct ParamPanels;
class ParameterModel;
class ModeRules;

// The user's actions on one window's two pages: each control gets its help
// text and its callback when the view is made (after the pages follow the
// model, so that a callback finds its edit in the model already).
class ParamPageCallbacks {
public:
    ParamPageCallbacks(ParamPanels& panels, ParameterModel& model, ModeRules& rules);
    ParamPageCallbacks(const ParamPageCallbacks&) = delete;
    ParamPageCallbacks& operator=(const ParamPageCallbacks&) = delete;

    int CBF_SlidePower(QWidget*, ctl::Event);
    int CBF_EditPmode(QWidget*, ctl::Event);
    int CBF_EditLedMode(QWidget*, ctl::Event);
    int CBF_EditGain(QWidget*, ctl::Event);
    int CBF_EditDynWinLoHi(QWidget*, ctl::Event);
    int CBF_EditAverage(QWidget*, ctl::Event);
    int CBF_EditIntegral(QWidget*, ctl::Event);
    int CBF_EditMaxVecNo(QWidget*, ctl::Event);
    int CBF_EditDigOutmode(QWidget*, ctl::Event);
    int CBF_EditIntlim(QWidget*, ctl::Event);
    int CBF_EditEvalmode(QWidget*, ctl::Event);
    int CBF_EditCalcmode(QWidget*, ctl::Event);
    int CBF_EditExteach(QWidget*, ctl::Event);
    int CBF_EditTrigger(QWidget*, ctl::Event);
    int CBF_EditHold(QWidget*, ctl::Event);
    int CBF_EditGridHold(QWidget*, ctl::Event);
    int CBF_EditGridGroups(QWidget*, ctl::Event);
    int CBF_EditColorGroups(QWidget*, ctl::Event);
    int CBF_EditResetHold(QWidget*, ctl::Event);
    int CBF_ButtonResetGroupTable(QWidget*, ctl::Event);
    int CBF_ButtonResetHoldTable(QWidget*, ctl::Event);

private:
    // Gives every control of the two pages its help text and callback.
    void WireParameterPages();
    int RunChainOnCommit(ctl::Event e);

    ParamPanels& panels_;
    ParameterModel& model_;
    ModeRules& rules_;
    // The controls keep their callbacks after the view has gone; they then
    // do nothing.
    std::shared_ptr<void> alive_ = std::make_shared<int>(0);
};

} // namespace params
