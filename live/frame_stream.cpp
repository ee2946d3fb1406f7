#include "live/frame_stream.h"

#include "live/live_math.h"
#include "params/parameter_layout.h"

namespace live {

void FrameStream::Publish(const LiveDataFrameBytes& frame, unsigned uses, uint16_t evaluationMode) {
    current_ = frame;
    if (uses & kUseCalibration) {
        rawDelta_ = RawDeltaOf(frame);
    }
    if (uses & kUseDisplays) {
        colour_ = ColourOfRgb(frame.get(kRed), frame.get(kGreen), frame.get(kBlue));
        // The LEDs keep their last pattern in the other evaluation modes.
        if (evaluationMode >= params::kCol5) {
            outputLeds_ = OutputLedPattern(frame.get(kColor));
        }
    }
    ++published_;
    published.Notify(current_, uses);
}

void FrameStream::Reset() {
    current_ = {};
    colour_ = 0;
    rawDelta_ = 0;
    outputLeds_ = 0;
    published_ = 0;
}

} // namespace live
