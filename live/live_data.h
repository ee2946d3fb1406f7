// The live displays' side of the frame stream: the data panel and the big
// panels follow the published frames, the strip-chart histories take every
// frame shown, and the signal graphs every recorded one. Loops publish on
// live::Frames(); nothing writes these displays directly.
#pragma once

#include "live/live_frame.h"

#include <cstdint>

namespace live {

// The stream's current frame and colour patch, for the teach assistants
// that still set a shown point without publishing it.
extern LiveDataFrameBytes& LiveDataFrame;
extern uint32_t& CurrentColour;

// The LiveDataFrame in the 40 answer data bytes of the last exchange.
LiveDataFrameBytes FrameFromAnswer();
// Copies the answer of the last exchange into the current frame without
// publishing it (the teach assistants' own loops).
void TakeFrameFromAnswer();

// Start values of the live state (start-up, tests): the stream's frame and
// derived values, the histories; subscribers stay.
void ResetLiveState();

// Subscribes the live displays and histories to the frame stream and
// installs their display writers (start-up; a second call changes nothing).
void InstallLiveDisplays();

} // namespace live
