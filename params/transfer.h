// Moving the parameter model's set between the program and the sensor's RAM or
// EEPROM (orders 1 to 4), with the plausibility reports, and the SEND and
// GET commands of the main panel.
#pragma once

#include "params/transfer_ops.h"
#include "params/transfer_state.h"
#include "platform/controls.h"
#include "platform/notifier.h"

#include <cstdint>

namespace params {

// Sends the model's parameter set to RAM (and on to the EEPROM when that is
// the target). Failures show in the user interface and in LinkOk.
void SendPara();
// Reads the selected set (from the EEPROM when that is the source, else from
// RAM) into the model, then applies the mode rules. A failed read leaves the
// model as it was.
void GetPara();

int CBF_ButtonSend(QWidget* control, ctl::Event event);
int CBF_ButtonGet(QWidget* control, ctl::Event event);

} // namespace params
