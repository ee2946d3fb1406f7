// The parts of one sensor the live loop works on, as the views of other
// subsystems that run it or watch it get them, and what those views ask of
// the window's live views.
#pragma once

#include <functional>

namespace com232 {
class SensorLink;
}
namespace params {
class ParameterModel;
class TransferState;
} // namespace params

namespace live {

class FrameStream;
class LiveState;

struct LiveParts {
    com232::SensorLink& link;
    params::TransferState& transfer;
    params::ParameterModel& model;
    FrameStream& frames;
    LiveState& live;
};

// What another subsystem's view asks of the window's live views.
struct LiveViewHooks {
    // The colour-space graphs and strip charts drawn anew for the modes and
    // the teach table.
    std::function<void()> initGraphs;
    // The graphs shown anew, at screen rate.
    std::function<void()> showGraphs;
    // The signal-graph panel made ready for a new recording.
    std::function<void()> initPanelGraph;
};

} // namespace live
