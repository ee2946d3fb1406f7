#include "calib/calib_view.h"

#include "calib/calib_ui.h"
#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "platform/shell_services.h"
#include "platform/widgets.h"

#include <QProgressBar>

namespace calib {
namespace {

int BarValue(int16_t v) {
    return v < 0 ? 0 : (v > 4095 ? 4095 : v);
}

void WriteCalibData() {
    if (!shell::Shell().PanelsLoaded()) {
        return;
    }
    CalibrationPage& c = Panels().calibration;
    const live::FrameStream& stream = live::Frames();
    const live::LiveField raw[3] = {live::kRawRed, live::kRawGreen, live::kRawBlue};
    for (int i = 0; i < 3; ++i) {
        const int16_t v = stream.Current().get(raw[i]);
        c.rawBar[i]->setValue(BarValue(v));
        c.raw[i]->SetVal(v);
    }
    c.rawDelta->SetVal(stream.RawDelta());
}

void OnFrame(const live::LiveDataFrameBytes&, unsigned uses) {
    if (uses & live::kUseCalibration) {
        live::RequestDisplay(live::kShowCalibData);
    }
}

} // namespace

void InstallCalibrationDisplays() {
    static const int subscription = live::Frames().published.Subscribe(OnFrame);
    (void)subscription;
    live::SetDisplayWriter(live::kShowCalibData, WriteCalibData);
}

} // namespace calib
