// Where SEND and GET go for one sensor, and the transfers waiting for its
// acquisition loop: TransferTarget (1 RAM, 2 EEPROM, 3 FILE),
// SelectedParaSet (0, 1), SendPending and GetPending (SEND or GET pressed
// while a loop runs, carried out between two of its requests).
#pragma once

#include "platform/notifier.h"

#include <atomic>
#include <cstdint>

namespace params {

constexpr uint16_t kTargetRam = 1;
constexpr uint16_t kTargetEeprom = 2;
constexpr uint16_t kTargetFile = 3;

class TransferState {
public:
    uint16_t TransferTarget = kTargetRam;
    uint16_t SelectedParaSet = 0;
    std::atomic<uint16_t> SendPending{0};
    std::atomic<uint16_t> GetPending{0};

    // Selects the target (1..3) or the parameter set (0, 1); the main
    // panel's selectors follow through `changed`.
    void SelectTransferTarget(uint16_t target);
    void SelectParaSet(uint16_t set);
    // The parameter-set selectors are usable only with TRIGGER = PARA.
    bool ParaSetSelectable() const { return paraSetSelectable_; }
    void SetParaSetSelectable(bool selectable);
    // Start values; subscribers stay.
    void Reset();

    platform::Notifier<> changed;
    // GET brought a set from the sensor into the model: the mode rules and
    // the views that follow them run on it.
    platform::Notifier<> setRead;

private:
    bool paraSetSelectable_ = false;
};

} // namespace params
