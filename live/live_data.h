// The data panel and the big panels as views of the current frame: they
// are written at screen rate from the frame stream's current frame, its
// colour patch and output LEDs. Loops publish on the frame stream; nothing
// writes these displays directly.
#pragma once

#include "live/live_frame.h"
#include "platform/notifier.h"

#include <cstdint>

namespace live {

struct LivePanels;
class DisplayRefresh;
class FrameStream;

// The numerics, bars, LEDs and colour patch of one window's data panel and
// the values of its big panels, written by the window's refresh.
class DataPanelView {
public:
    DataPanelView(LivePanels& panels, const FrameStream& frames, DisplayRefresh& refresh);
    DataPanelView(const DataPanelView&) = delete;
    DataPanelView& operator=(const DataPanelView&) = delete;

private:
    // Writes the current frame to the data panel and the big panels, in
    // the order the displays are listed for a frame.
    void WritePanelData();

    LivePanels& panels_;
    const FrameStream& frames_;
    platform::Subscription writer_;
};

} // namespace live
