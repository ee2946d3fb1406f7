// The measuring chain of the simulated sensor as pure functions: from the
// colour in front of the optics to the raw, calibrated and derived values,
// and the classification against the teach table.
#pragma once

#include "params/parameter_layout.h"
#include "sim/scene.h"

#include <cstdint>

namespace sim {

constexpr int kAdcMax = 4095;
// Receiver dark signal at GAIN code 5, per channel (RED, GREEN, BLUE); it
// scales with the gain like the light signal.
constexpr double kDarkLevel[3] = {48, 40, 56};

// Amplification of GAIN code 0..7 relative to code 5: each stage is a factor
// of sqrt(2), so AMP1 (0) is 0.18 and AMP8 (7) is 2.
double GainFactor(uint16_t gain);
// Light output of LED MODE: DC 1.0, AC 0.9 (modulation depth), PULSE 1.1, OFF 0.
double LedFactor(uint16_t ledMode);

// The ADC value of one channel before averaging: light reflected by the
// colour (scaled by power / 500, gain and LED mode) plus the dark signal and
// the noise (divided by the square root of INTEGRAL), clamped to 0..4095.
struct FrontEndInput {
    Rgb colour;       // raw counts at the reference setting
    double power = 0; // 0..1000 transmitter power actually used
    uint16_t gain = 5;
    uint16_t ledMode = 0;
    bool ledOn = true; // false while TRANS keeps the transmitter off
    uint16_t integral = 1;
    double noise[3] = {0, 0, 0}; // noise of this scan, before the INTEGRAL reduction
};
void FrontEnd(const FrontEndInput& in, double adc[3]);

// CALIBRATED = RAW * CF / 1024, held at the ADC range 0..4095.
int Calibrate(int raw, uint16_t cf);

// Derived values from the calibrated RED, GREEN, BLUE (sum = R + G + B):
//   X Y INT modes: X = 1000 R / sum, Y = 1000 G / sum, INT = sum / 3 (0..4095)
//   s i M modes:   s = 500 + 500 (R - G) / sum           (0..1000, red against green)
//                  i = 500 + 250 (R + G - 2 B) / sum     (0..750, yellow against blue)
//                  M = sum * 100 / 1024                  (0..1199)
// All rounded to the nearest integer; a sum of 0 gives 0, 0, 0.
void DeriveValues(const int cal[3], uint16_t calculationMode, int out[3]);

struct Classification {
    int color = 255; // row 0..30, 255 = none; output pattern in COL5 and THD RGB
    int deltaC = -1; // distance to the hit, -1 = none
    int group = 255; // colour group of the row, 255 = none or groups off
};

// Classifies the derived values `v` (X, Y, INT or s, i, M; INT/M as shown)
// against rows 0..MAX VEC NO - 1. `cal` are the calibrated channels (THD RGB)
// and `realIntensity` the INT or M computed from the signal (INTLIM).
Classification Classify(const int v[3], const int cal[3], int realIntensity,
                        const params::ParameterBlockBytes& block,
                        const params::TeachTableBytes& table);

// Levels of OUT0..OUT4 (bit 0 = OUT0, 1 = HI) for a result.
uint8_t OutputPattern(const Classification& c, const params::ParameterBlockBytes& block);

} // namespace sim
