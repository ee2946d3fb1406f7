#include "live/live_data.h"

#include "app/panels.h"
#include "link/com232.h"
#include "live/display_refresh.h"
#include "live/graphs.h"
#include "live/live_math.h"
#include "params/parameter_set.h"
#include "platform/widgets.h"

#include <QProgressBar>

#include <cstring>

namespace live {

LiveDataFrameBytes LiveDataFrame;
uint32_t CurrentColour = 0;
uint16_t RawDelta = 0;
uint8_t OutputLeds = 0;

namespace {

void ShowRgb(const RgbNumerics& n, const LiveDataFrameBytes& f) {
    n.red->SetVal(f.get(kRed));
    n.green->SetVal(f.get(kGreen));
    n.blue->SetVal(f.get(kBlue));
}

int BarValue(int16_t v) {
    return v < 0 ? 0 : (v > 4095 ? 4095 : v);
}

// Writes the frame to the data panel, the big panels, the table-attributes
// page's TEMP and the mean-value teach panel, in the order the displays are
// listed for a frame.
void WritePanelData() {
    if (!app::PanelsLoaded()) {
        return;
    }
    app::Panels& p = app::P();
    DataPanel& d = p.data;
    const LiveDataFrameBytes& f = LiveDataFrame;
    ShowRgb(d.rgbPage, f);
    ShowRgb(d.intPage, f);
    ShowRgb(d.page2D, f);
    ShowRgb(d.rgb, f);
    const LiveField rgb[3] = {kRed, kGreen, kBlue};
    for (int c = 0; c < 3; ++c) {
        d.bar[c]->setValue(BarValue(f.get(rgb[c])));
    }
    d.x->SetVal(f.get(kX));
    d.y->SetVal(f.get(kY));
    d.intensity->SetVal(f.get(kInt));
    d.deltaC->SetVal(f.get(kDeltaC));
    d.color->SetVal(f.get(kColor));
    d.group->SetVal(f.get(kGroup));
    d.trigger->SetOn(f.get(kTrigger) != 0);
    // Pairs per colour, the first triple first.
    const LiveField extremes[6] = {kExtreme1Red,   kExtreme2Red,  kExtreme1Green,
                                   kExtreme2Green, kExtreme1Blue, kExtreme2Blue};
    for (int i = 0; i < 6; ++i) {
        d.extreme[i]->SetVal(f.get(extremes[i]));
    }
    p.attributes.temp->SetVal(f.get(kTemp));
    p.colBig.value->SetVal(f.get(kColor));
    p.grpBig.value->SetVal(f.get(kGroup));
    p.teachMean.red->SetVal(f.get(kRed));
    p.teachMean.green->SetVal(f.get(kGreen));
    p.teachMean.blue->SetVal(f.get(kBlue));
    d.colorPatch->SetColor(CurrentColour);
    for (int i = 0; i < 5; ++i) {
        d.out[i]->SetOn((OutputLeds & (1u << i)) != 0);
    }
}

void WriteCalibData() {
    if (!app::PanelsLoaded()) {
        return;
    }
    calib::CalibrationPage& c = app::P().calibration;
    const LiveField raw[3] = {kRawRed, kRawGreen, kRawBlue};
    for (int i = 0; i < 3; ++i) {
        const int16_t v = LiveDataFrame.get(raw[i]);
        c.rawBar[i]->setValue(BarValue(v));
        c.raw[i]->SetVal(v);
    }
    c.rawDelta->SetVal(RawDelta);
}

} // namespace

void TakeFrameFromAnswer() {
    std::memcpy(LiveDataFrame.bytes, com232::RxData(), kLiveFrameSize);
}

void SetPanelData() {
    const LiveDataFrameBytes& f = LiveDataFrame;
    CurrentColour = ColourOfRgb(f.get(kRed), f.get(kGreen), f.get(kBlue));
    if (params::ParameterBlock.get(params::kEvaluationMode) >= params::kCol5) {
        OutputLeds = OutputLedPattern(f.get(kColor));
    }
    RequestDisplay(kShowPanelData);
    InitGraphBuffers();
}

void SetPanelCalibData() {
    RawDelta = RawDeltaOf(LiveDataFrame);
    RequestDisplay(kShowCalibData);
}

void ResetLiveState() {
    DiscardPendingDisplays();
    LiveDataFrame = {};
    CurrentColour = 0;
    RawDelta = 0;
    OutputLeds = 0;
    ResetGraphState();
}

void InstallLiveDisplays() {
    SetDisplayWriter(kShowPanelData, WritePanelData);
    SetDisplayWriter(kShowCalibData, WriteCalibData);
    InstallGraphDisplays();
}

} // namespace live
