#include "live/live_histories.h"

#include "live/frame_stream.h"
#include "live/live_params.h"

namespace live {

History RgbHistory;
History IntHistory;
Extents GraphExtents{0, 10000, 0, 10000, 0, 10000};

void PushHistories(const LiveDataFrameBytes& f) {
    RgbHistory.Push(f.get(kRed), f.get(kGreen), f.get(kBlue));
    const IntensityOfRow band = Parameters().SelectedRowBand();
    const Band b = StripChartBand(band.centre, band.tolerance);
    IntHistory.Push(f.get(kInt), b.hi, b.lo);
}

void SubscribeHistories() {
    static const int subscription =
        Frames().published.Subscribe([](const LiveDataFrameBytes& frame, unsigned uses) {
            if (uses & kUseDisplays) {
                PushHistories(frame);
            }
        });
    (void)subscription;
}

void ResetHistories() {
    RgbHistory = {};
    IntHistory = {};
    GraphExtents = {0, 10000, 0, 10000, 0, 10000};
}

} // namespace live
