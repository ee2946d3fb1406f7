// Arithmetic of the white calibration, free of any panel: the sums of the
// sampled raw values, their means, and the calibration factors that bring
// each channel's mean to SETVALUE (CALIBRATED = RAW * CF / 1024).
#pragma once

#include <cstdint>

namespace calib {

constexpr int kWhiteSamples = 100;    // frames sampled by a white calibration
constexpr int kBlinkEverySamples = 5; // the CALC CF button changes colour this often

// Sums of RAW RED, GREEN, BLUE and RawDelta over the samples received.
struct WhiteSums {
    int32_t raw[3] = {};
    int32_t delta = 0;
    int received = 0; // samples that arrived and were added

    void Add(int16_t red, int16_t green, int16_t blue, uint16_t rawDelta);
};

// Means of a white calibration: sums divided by `divisor` (integer division).
struct WhiteMeans {
    int32_t raw[3] = {};
    int32_t delta = 0;
};
WhiteMeans MeansOf(const WhiteSums& sums, int divisor);

enum class CfOutcome {
    kOk,           // all three factors within 0..4096
    kDeltaTooHigh, // mean raw delta above MAXIMUM DELTA
    kOutOfRange,   // one factor above 4096
};

struct CfResult {
    CfOutcome outcome = CfOutcome::kOk;
    uint32_t cf[3] = {}; // the quotients (also when out of range)
};

// CF = SETVALUE * 1024 / mean raw value per channel, unsigned 32-bit and
// truncated. A mean of 0 or below is taken as 1 (such a channel sees no
// light, so its factor is out of range).
CfResult ComputeCalibrationFactors(uint16_t setValue, uint16_t maxDelta, const WhiteMeans& means);

// True before samples 0, 5, 10, ...: the sample at which the button colour
// changes; `RedPhase` tells the colour it changes to (red first).
bool BlinkBefore(int sample);
bool RedPhase(int sample);

} // namespace calib
