// The live-frame stream: every frame a loop receives (GO, a recording, the
// white calibration, a teach assistant) is published here once, with what
// it is for; the data panel, the graphs and histories, the recorder, the
// calibration page and the teach assistants subscribe. The stream also
// keeps the current measurement and the values derived from it, so any
// consumer can read the latest frame without asking a display.
#pragma once

#include "live/live_frame.h"
#include "platform/notifier.h"

#include <cstdint>

namespace live {

// What a published frame is for; a subscriber takes the uses it serves.
enum FrameUse : unsigned {
    kUseCalibration = 1u << 0, // raw values and their spread (calibration page)
    kUseDisplays = 1u << 1,    // data panel, big panels, mean-value numerics, TEMP
    kUseGraphs = 1u << 2,      // strip charts and colour-space views
    kUseSignalGraph = 1u << 3, // signal-graph histories (recordings)
    kUseGo = kUseCalibration | kUseDisplays | kUseGraphs,
    kUseRecording = kUseSignalGraph | kUseDisplays | kUseGraphs,
};

class FrameStream {
public:
    // Makes `frame` the current measurement, derives the colour patch, the
    // raw spread and (in the output-pattern evaluation modes COL5 and
    // THD RGB) the output LEDs, and tells every subscriber.
    void Publish(const LiveDataFrameBytes& frame, unsigned uses, uint16_t evaluationMode);

    const LiveDataFrameBytes& Current() const { return current_; }
    uint32_t CurrentColour() const { return colour_; } // colour patch 0x00RRGGBB
    uint16_t RawDelta() const { return rawDelta_; }    // spread of the raw values
    uint8_t OutputLeds() const { return outputLeds_; } // OUT0..OUT4 as bits 0..4
    uint64_t Published() const { return published_; }

    // Start values (start-up, tests); subscribers stay.
    void Reset();

    // The current frame and colour patch for code that still sets them
    // without publishing (a teach assistant showing one of its points); the
    // next published frame replaces them.
    LiveDataFrameBytes& CurrentForEdit() { return current_; }
    uint32_t& ColourForEdit() { return colour_; }

    platform::Notifier<const LiveDataFrameBytes&, unsigned> published;

private:
    LiveDataFrameBytes current_;
    uint32_t colour_ = 0;
    uint16_t rawDelta_ = 0;
    uint8_t outputLeds_ = 0;
    uint64_t published_ = 0;
};

} // namespace live
