#include "live/live_state.h"

#include "live/frame_stream.h"
#include "params/parameter_model.h"

namespace live {

LiveState::LiveState(FrameStream& frames, const params::ParameterModel& model) : model_(model) {
    histories_ = frames.published.Connect([this](const LiveDataFrameBytes& frame, unsigned uses) {
        if (uses & kUseDisplays) {
            PushHistories(frame);
        }
    });
}

void LiveState::PushHistories(const LiveDataFrameBytes& f) {
    RgbHistory.Push(f.get(kRed), f.get(kGreen), f.get(kBlue));
    const IntensityOfRow band = SelectedRowBand(model_);
    const Band b = StripChartBand(band.centre, band.tolerance);
    IntHistory.Push(f.get(kInt), b.hi, b.lo);
}

void LiveState::ResetHistories() {
    RgbHistory = {};
    IntHistory = {};
    GraphExtents = kStartExtents;
}

IntensityOfRow SelectedRowBand(const params::ParameterModel& m) {
    return IntensityOf(m.Table(), m.TeachRowNo(), m.CalculationMode());
}

} // namespace live
