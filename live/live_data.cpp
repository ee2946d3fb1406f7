#include "live/live_data.h"

#include "link/com232.h"
#include "link/program_link.h"
#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "live/graphs.h"
#include "live/live_histories.h"
#include "live/live_ui.h"
#include "live/signal_graph.h"
#include "platform/shell_services.h"
#include "platform/widgets.h"

#include <QProgressBar>

#include <cstring>

namespace live {

LiveDataFrameBytes& LiveDataFrame = Frames().CurrentForEdit();
uint32_t& CurrentColour = Frames().ColourForEdit();

namespace {

void ShowRgb(const RgbNumerics& n, const LiveDataFrameBytes& f) {
    n.red->SetVal(f.get(kRed));
    n.green->SetVal(f.get(kGreen));
    n.blue->SetVal(f.get(kBlue));
}

int BarValue(int16_t v) {
    return v < 0 ? 0 : (v > 4095 ? 4095 : v);
}

// Writes the current frame to the data panel and the big panels, in the
// order the displays are listed for a frame.
void WritePanelData() {
    if (!shell::Shell().PanelsLoaded()) {
        return;
    }
    LivePanels& p = Panels();
    DataPanel& d = p.data;
    const FrameStream& stream = Frames();
    const LiveDataFrameBytes& f = stream.Current();
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
    p.colBig.value->SetVal(f.get(kColor));
    p.grpBig.value->SetVal(f.get(kGroup));
    d.colorPatch->SetColor(stream.CurrentColour());
    for (int i = 0; i < 5; ++i) {
        d.out[i]->SetOn((stream.OutputLeds() & (1u << i)) != 0);
    }
}

// A published frame: the signal graphs take a recorded one, and the
// displays are asked for at screen rate (the histories have taken the
// frame already).
void OnFrame(const LiveDataFrameBytes& frame, unsigned uses) {
    if (uses & kUseSignalGraph) {
        AddToSignalGraph(frame);
    }
    if (uses & kUseDisplays) {
        RequestDisplay(kShowPanelData);
    }
    if (uses & kUseGraphs) {
        ShowGraph();
    }
}

} // namespace

LiveDataFrameBytes FrameFromAnswer() {
    LiveDataFrameBytes f;
    std::memcpy(f.bytes, com232::ProgramLink().RxData(), kLiveFrameSize);
    return f;
}

void TakeFrameFromAnswer() {
    Frames().CurrentForEdit() = FrameFromAnswer();
}

void ResetLiveState() {
    DiscardPendingDisplays();
    Frames().Reset();
    ResetGraphState();
}

void InstallLiveDisplays() {
    SubscribeHistories();
    static const int subscription = Frames().published.Subscribe(OnFrame);
    (void)subscription;
    SetDisplayWriter(kShowPanelData, WritePanelData);
    InstallGraphDisplays();
}

} // namespace live
