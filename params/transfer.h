// SEND and GET of the main panel: the parameter model's set to and from
// the sensor's RAM or EEPROM (orders 1 to 4, with the plausibility
// reports), or to and from a file.
#pragma once

#include "params/transfer_ops.h"
#include "params/transfer_state.h"
#include "platform/controls.h"
#include "platform/notifier.h"

#include <cstdint>

namespace com232 {
class SensorLink;
}

namespace params {

class ParameterFileCommands;

// The SEND and GET buttons of one window, for its sensor's link, model and
// transfer state: to the file at once, to the sensor at once when no
// acquisition loop runs, else between two of the loop's requests.
class TransferCommands {
public:
    TransferCommands(com232::SensorLink& link, ParameterModel& model, TransferState& transfer,
                     ParameterFileCommands& file)
        : link_(link), model_(model), transfer_(transfer), file_(file) {}
    TransferCommands(const TransferCommands&) = delete;
    TransferCommands& operator=(const TransferCommands&) = delete;

    int CBF_ButtonSend(QWidget* control, ctl::Event event);
    int CBF_ButtonGet(QWidget* control, ctl::Event event);

private:
    com232::SensorLink& link_;
    ParameterModel& model_;
    TransferState& transfer_;
    ParameterFileCommands& file_;
};

} // namespace params
