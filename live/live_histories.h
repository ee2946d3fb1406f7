// The strip-chart histories and the extents the colour-space views centre
// on: model state of the live displays, kept without any window. The
// histories take every frame published for the displays, with the band of
// the teach row selected for teaching.
#pragma once

#include "live/live_frame.h"
#include "live/live_math.h"

namespace live {

extern History RgbHistory; // RED, GREEN, BLUE of the last 100 frames
extern History IntHistory; // INT, upper band, lower band of the last 100 frames
extern Extents GraphExtents;

// Appends `frame` to RgbHistory and IntHistory (with the selected teach
// row's band).
void PushHistories(const LiveDataFrameBytes& frame);
// Subscribes the histories to the frame stream (a second call changes
// nothing).
void SubscribeHistories();
// Histories and extents to their start values.
void ResetHistories();

} // namespace live
