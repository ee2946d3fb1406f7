// The current measurement and what is derived from it: the LiveDataFrame
// received last, the colour patch colour, the raw spread, the output-LED
// state, and the functions that bring a frame to the displays. Every loop
// that receives frames (GO, recorder, white calibration) goes through
// SetPanelCalibData / SetPanelData / ShowGraph, so a frame reaches the
// screen in one place only.
#pragma once

#include "live/live_frame.h"

#include <cstdint>

namespace live {

extern LiveDataFrameBytes LiveDataFrame; // the current measurement
extern uint32_t CurrentColour;           // colour patch, 0x00RRGGBB
extern uint16_t RawDelta;                // spread of the raw values
extern uint8_t OutputLeds;               // OUT0..OUT4 as bits 0..4

// Copies the 40 answer data bytes of the last exchange into LiveDataFrame.
void TakeFrameFromAnswer();

// Updates the model from LiveDataFrame (colour, LEDs, strip-chart
// histories) and asks for the data panel, the big panels and the mean-value
// teach panel's numerics to be shown.
void SetPanelData();
// Computes RawDelta and asks for the calibration page's raw values.
void SetPanelCalibData();

// Start values of the live state (start-up, tests); histories included.
void ResetLiveState();

// Installs the display writers (start-up).
void InstallLiveDisplays();

} // namespace live
