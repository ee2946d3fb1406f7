// The big colour-number and big group windows, opened by a double click on
// COLOR or GROUP of the data panel.
#pragma once

#include "platform/controls.h"

namespace live {

int CBF_DispCOL(QWidget*, ctl::Event);
int CBF_DispGroup(QWidget*, ctl::Event);
// A right click on a big panel or its close box hides it.
int CBF_COLBIGP(QWidget*, ctl::Event);
int CBF_GRPBIGP(QWidget*, ctl::Event);
int CBF_DATAP(QWidget*, ctl::Event);

} // namespace live
