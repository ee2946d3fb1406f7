#include "teach/teach_displays.h"

#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "platform/widgets.h"
#include "teach/teach_ui.h"

namespace teach {
namespace {

// Nothing to show before the first frame of the stream.
const live::LiveDataFrameBytes* ShownFrame() {
    const live::FrameStream& s = live::Frames();
    return s.Published() > 0 ? &s.Current() : nullptr;
}

void WriteMeanPanelNumerics() {
    const TeachMeanPanel& m = Panels().teachMean;
    const live::LiveDataFrameBytes* f = ShownFrame();
    if (m.red == nullptr || f == nullptr) {
        return;
    }
    m.red->SetVal(f->get(live::kRed));
    m.green->SetVal(f->get(live::kGreen));
    m.blue->SetVal(f->get(live::kBlue));
}

void WriteTemperature() {
    const AttributesPage& a = Panels().attributes;
    const live::LiveDataFrameBytes* f = ShownFrame();
    if (a.temp == nullptr || f == nullptr) {
        return;
    }
    a.temp->SetVal(f->get(live::kTemp));
}

} // namespace

void AddTeachDisplayWriters() {
    live::AddDisplayWriter(live::kShowPanelData, WriteMeanPanelNumerics);
    live::AddDisplayWriter(live::kShowPanelData, WriteTemperature);
}

} // namespace teach
