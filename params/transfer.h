// Moving the parameter model's set between the program and the sensor's RAM or
// EEPROM (orders 1 to 4), with the plausibility reports, and the SEND and
// GET commands of the main panel.
#pragma once

#include "params/transfer_ops.h"
#include "platform/controls.h"
#include "platform/notifier.h"

#include <cstdint>

namespace params {

constexpr uint16_t kTargetRam = 1;
constexpr uint16_t kTargetEeprom = 2;
constexpr uint16_t kTargetFile = 3;

extern uint16_t TransferTarget;  // 1 RAM, 2 EEPROM, 3 FILE
extern uint16_t SelectedParaSet; // 0 or 1
extern uint16_t SendPending;     // a SEND waits for the acquisition loop
extern uint16_t GetPending;      // a GET waits for the acquisition loop

// Sends the model's parameter set to RAM (and on to the EEPROM when that is
// the target). Failures show in the user interface and in LinkOk.
void SendPara();
// Reads the selected set (from the EEPROM when that is the source, else from
// RAM) into the model, then applies the mode rules. A failed read leaves the
// model as it was.
void GetPara();

// Selects transfer target (1..3) or parameter set (0, 1); the main panel's
// selectors follow through TransferSelectionChanged.
void SelectTransferTarget(uint16_t target);
void SelectParaSet(uint16_t set);
platform::Notifier<>& TransferSelectionChanged();
// The parameter-set selectors are usable only with TRIGGER = PARA.
bool ParaSetSelectable();
void SetParaSetSelectable(bool selectable);

int CBF_ButtonSend(QWidget* control, ctl::Event event);
int CBF_ButtonGet(QWidget* control, ctl::Event event);

// Start values of the transfer state (start-up, tests).
void ResetTransferState();

} // namespace params
