#include "app/teach_frame_displays.h"

#include "app/panels.h"
#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "platform/widgets.h"

namespace app {
namespace {

void WriteTeachFrameDisplays() {
    if (!PanelsLoaded()) {
        return;
    }
    Panels& p = P();
    const live::LiveDataFrameBytes& f = live::Frames().Current();
    p.attributes.temp->SetVal(f.get(live::kTemp));
    p.teachMean.red->SetVal(f.get(live::kRed));
    p.teachMean.green->SetVal(f.get(live::kGreen));
    p.teachMean.blue->SetVal(f.get(live::kBlue));
}

} // namespace

void InstallTeachFrameDisplays() {
    static const bool installed = [] {
        live::AddDisplayWriter(live::kShowPanelData, WriteTeachFrameDisplays);
        return true;
    }();
    (void)installed;
}

} // namespace app
