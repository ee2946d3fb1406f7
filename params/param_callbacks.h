// Callbacks of the parameter page and the group/hold page.
#pragma once

#include "platform/controls.h"

namespace params {

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

// Gives every control of the two pages its help text and callback.
void WireParameterPages();

} // namespace params
