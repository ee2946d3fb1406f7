// GO mode: the polling loop that asks the sensor for one measurement after
// another (order 8) and publishes each, serving SEND and GET pressed
// meanwhile between two requests. Free of any window.
#pragma once

#include "live/live_frame.h"
#include "live/live_parts.h"
#include "live/live_state.h"

namespace com232 {
class SensorLink;
}
namespace params {
class ParameterModel;
class TransferState;
} // namespace params

namespace live {

class FrameStream;

// The polling loop on `link`; runs until link.AcquisitionRunning is no
// longer 1. Each frame is published on `frames` for the displays; a SEND or
// GET waiting in `transfer` goes out between two requests, with `model`'s
// set or into it; `live` counts the frames and the failed exchanges.
void GetData(com232::SensorLink& link, params::TransferState& transfer,
             params::ParameterModel& model, FrameStream& frames, LiveState& live);
inline void GetData(const LiveParts& p) {
    GetData(p.link, p.transfer, p.model, p.frames, p.live);
}

// The LiveDataFrame in the 40 answer data bytes of the link's last exchange.
LiveDataFrameBytes FrameFromAnswer(const com232::SensorLink& link);
// Copies the answer of the last exchange into the current frame without
// publishing it (the teach assistants' own loops).
void TakeFrameFromAnswer(const com232::SensorLink& link, FrameStream& frames);

} // namespace live
