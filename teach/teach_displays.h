// The teach panels' displays of the live frame: the mean-value panel's RED,
// GREEN and BLUE and the table-attributes page's TEMP, written in the same
// screen-rate refresh as the data panel, for as long as this object lives.
#pragma once

#include "platform/notifier.h"
#include "teach/teach_ui.h"

namespace live {
class DisplayRefresh;
class FrameStream;
} // namespace live

namespace teach {

class TeachDisplays {
public:
    TeachDisplays(TeachPanels& panels, const live::FrameStream& frames,
                  live::DisplayRefresh& refresh);
    TeachDisplays(const TeachDisplays&) = delete;
    TeachDisplays& operator=(const TeachDisplays&) = delete;

private:
    void WriteMeanPanelNumerics();
    void WriteTemperature();

    TeachMeanPanel& mean_;
    AttributesPage& attributes_;
    const live::FrameStream& frames_;
    platform::Subscriptions writers_;
};

} // namespace teach
