#include "teach/teach_displays.h"

#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "platform/widgets.h"

namespace teach {
namespace {

// Nothing to show before the first frame of the stream.
const live::LiveDataFrameBytes* ShownFrame(const live::FrameStream& s) {
    return s.Published() > 0 ? &s.Current() : nullptr;
}

} // namespace

TeachDisplays::TeachDisplays(TeachPanels& panels, const live::FrameStream& frames,
                             live::DisplayRefresh& refresh)
    : mean_(panels.teachMean), attributes_(panels.attributes), frames_(frames) {
    writers_ += refresh.AddWriter(live::kShowPanelData, [this] { WriteMeanPanelNumerics(); });
    writers_ += refresh.AddWriter(live::kShowPanelData, [this] { WriteTemperature(); });
}

void TeachDisplays::WriteMeanPanelNumerics() {
    const live::LiveDataFrameBytes* f = ShownFrame(frames_);
    if (mean_.red == nullptr || f == nullptr) {
        return;
    }
    mean_.red->SetVal(f->get(live::kRed));
    mean_.green->SetVal(f->get(live::kGreen));
    mean_.blue->SetVal(f->get(live::kBlue));
}

void TeachDisplays::WriteTemperature() {
    const live::LiveDataFrameBytes* f = ShownFrame(frames_);
    if (attributes_.temp == nullptr || f == nullptr) {
        return;
    }
    attributes_.temp->SetVal(f->get(live::kTemp));
}

} // namespace teach
