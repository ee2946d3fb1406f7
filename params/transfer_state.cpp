#include "params/transfer_state.h"

namespace params {

void TransferState::SelectTransferTarget(uint16_t target) {
    TransferTarget = target;
    changed.Notify();
}

void TransferState::SelectParaSet(uint16_t set) {
    SelectedParaSet = set;
    changed.Notify();
}

void TransferState::SetParaSetSelectable(bool selectable) {
    paraSetSelectable_ = selectable;
    changed.Notify();
}

void TransferState::Reset() {
    TransferTarget = kTargetRam;
    SelectedParaSet = 0;
    SendPending = 0;
    GetPending = 0;
}

} // namespace params
