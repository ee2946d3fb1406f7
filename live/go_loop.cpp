#include "live/go_loop.h"

#include "link/com232.h"
#include "live/frame_stream.h"
#include "params/parameter_model.h"
#include "params/transfer_ops.h"
#include "params/transfer_state.h"

#include <cstring>

namespace live {

void GetData(com232::SensorLink& link, params::TransferState& transfer,
             params::ParameterModel& model, FrameStream& frames, LiveState& live) {
    auto& AcquisitionRunning = link.AcquisitionRunning;
    AcquisitionRunning = 1;
    for (;;) {
        if (transfer.SendPending) {
            params::SendPara(link, model, transfer);
            if (AcquisitionRunning == 0) {
                break;
            }
        }
        if (transfer.GetPending) {
            params::GetPara(link, model, transfer);
        }
        if (AcquisitionRunning == 0) {
            break;
        }
        link.FillTxBuf(com232::kOrderLiveData, 0, 0);
        if (link.DataExchange(static_cast<int>(com232::kHeaderSize)) == 1) {
            frames.Publish(FrameFromAnswer(link), kUseGo, model.EvaluationMode());
            ++live.GoLoopCounters.frames;
        } else {
            ++live.GoLoopCounters.failures;
        }
        if (AcquisitionRunning != 1) {
            break;
        }
    }
}

LiveDataFrameBytes FrameFromAnswer(const com232::SensorLink& link) {
    LiveDataFrameBytes f;
    std::memcpy(f.bytes, link.RxData(), kLiveFrameSize);
    return f;
}

void TakeFrameFromAnswer(const com232::SensorLink& link, FrameStream& frames) {
    frames.CurrentForEdit() = FrameFromAnswer(link);
}

} // namespace live
