#include "calib/calib_math.h"

#include "calib/calib_wire.h"

namespace calib {

void WhiteSums::Add(int16_t red, int16_t green, int16_t blue, uint16_t rawDelta) {
    raw[0] += red;
    raw[1] += green;
    raw[2] += blue;
    delta += rawDelta;
    ++received;
}

WhiteMeans MeansOf(const WhiteSums& sums, int divisor) {
    WhiteMeans m;
    if (divisor <= 0) {
        return m;
    }
    for (int c = 0; c < 3; ++c) {
        m.raw[c] = sums.raw[c] / divisor;
    }
    m.delta = sums.delta / divisor;
    return m;
}

CfResult ComputeCalibrationFactors(uint16_t setValue, uint16_t maxDelta, const WhiteMeans& means) {
    CfResult r;
    if (means.delta > static_cast<int32_t>(maxDelta)) {
        r.outcome = CfOutcome::kDeltaTooHigh;
        return r;
    }
    const uint32_t numerator = static_cast<uint32_t>(setValue) * 1024u;
    for (int c = 0; c < 3; ++c) {
        const uint32_t mean = means.raw[c] <= 0 ? 1u : static_cast<uint32_t>(means.raw[c]);
        r.cf[c] = numerator / mean;
        if (r.cf[c] > kMaxCf) {
            r.outcome = CfOutcome::kOutOfRange;
        }
    }
    return r;
}

bool BlinkBefore(int sample) {
    return sample % kBlinkEverySamples == 0;
}

bool RedPhase(int sample) {
    return (sample / kBlinkEverySamples) % 2 == 0;
}

} // namespace calib
