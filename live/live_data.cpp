#include "live/live_data.h"

#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "live/live_ui.h"
#include "platform/widgets.h"

#include <QProgressBar>

namespace live {
namespace {

void ShowRgb(const RgbNumerics& n, const LiveDataFrameBytes& f) {
    n.red->SetVal(f.get(kRed));
    n.green->SetVal(f.get(kGreen));
    n.blue->SetVal(f.get(kBlue));
}

int BarValue(int16_t v) {
    return v < 0 ? 0 : (v > 4095 ? 4095 : v);
}

} // namespace

DataPanelView::DataPanelView(LivePanels& panels, const FrameStream& frames, DisplayRefresh& refresh)
    : panels_(panels), frames_(frames),
      writer_(refresh.InstallWriter(kShowPanelData, [this] { WritePanelData(); })) {}

void DataPanelView::WritePanelData() {
    LivePanels& p = panels_;
    DataPanel& d = p.data;
    const FrameStream& stream = frames_;
    const LiveDataFrameBytes& f = stream.Current();
    ShowRgb(d.rgbPage, f);
    ShowRgb(d.intPage, f);
    ShowRgb(d.page2D, f);
    ShowRgb(d.rgb, f);
    const LiveField rgb[3] = {kRed, kGreen, kBlue};
    for (int c = 0; c < 3; ++c) {
        ctl::SetBarValue(d.bar[c], BarValue(f.get(rgb[c])));
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
    p.colBig.value->SetVal(f.get(kColor));
    p.grpBig.value->SetVal(f.get(kGroup));
    d.colorPatch->SetColor(stream.CurrentColour());
    for (int i = 0; i < 5; ++i) {
        d.out[i]->SetOn((stream.OutputLeds() & (1u << i)) != 0);
    }
}

} // namespace live
