#include "sim/sensor_model.h"

#include <algorithm>
#include <cmath>

namespace sim {
namespace {

using params::ParameterBlockBytes;
using params::TeachTableBytes;

int RoundDiv(int64_t num, int64_t den) {
    // Rounds num / den to the nearest integer (den > 0), halves away from zero.
    if (num >= 0) {
        return static_cast<int>((num + den / 2) / den);
    }
    return -static_cast<int>((-num + den / 2) / den);
}

struct RowDistance {
    bool hit = false;
    double distance = 0;      // colour distance (2D: in the plane; 3D: in space)
    bool intensityOk = false; // 2D: INT within ITO (MIN DIST); 3D: always
};

RowDistance Measure(const int v[3], const TeachTableBytes& table, int row, bool threeD) {
    RowDistance d;
    const double dx = v[0] - static_cast<double>(table.get(row, params::kCell0));
    const double dy = v[1] - static_cast<double>(table.get(row, params::kCell1));
    if (threeD) {
        const double di = v[2] - static_cast<double>(table.get(row, params::kCell2));
        d.distance = std::sqrt(dx * dx + dy * dy + di * di);
        d.hit = d.distance <= table.get(row, params::kCell3);
        d.intensityOk = true;
    } else {
        d.distance = std::sqrt(dx * dx + dy * dy);
        const int di = std::abs(v[2] - static_cast<int>(table.get(row, params::kCell3)));
        d.intensityOk = di <= table.get(row, params::kCell4);
        d.hit = d.intensityOk && d.distance <= table.get(row, params::kCell2);
    }
    return d;
}

int DeltaCOf(double distance) {
    return static_cast<int>(std::min(32767.0, std::floor(distance + 0.5)));
}

} // namespace

double GainFactor(uint16_t gain) {
    const int g = std::min<int>(gain, params::kGainStages - 1);
    return std::pow(2.0, (g - 5) / 2.0);
}

double LedFactor(uint16_t ledMode) {
    switch (ledMode) {
    case params::kLedDc:
        return 1.0;
    case params::kLedAc:
        return 0.9;
    case params::kLedPulse:
        return 1.1;
    default:
        return 0.0;
    }
}

void FrontEnd(const FrontEndInput& in, double adc[3]) {
    const double gain = GainFactor(in.gain);
    const double light = in.ledOn ? LedFactor(in.ledMode) * in.power / 500.0 * gain : 0.0;
    const double noiseScale =
        1.0 / std::sqrt(static_cast<double>(std::max<uint16_t>(1, in.integral)));
    const double colour[3] = {in.colour.r, in.colour.g, in.colour.b};
    for (int c = 0; c < 3; ++c) {
        const double v = colour[c] * light + kDarkLevel[c] * gain + in.noise[c] * noiseScale;
        adc[c] = std::clamp(v, 0.0, static_cast<double>(kAdcMax));
    }
}

int Calibrate(int raw, uint16_t cf) {
    const int64_t v = static_cast<int64_t>(raw) * cf / 1024;
    return static_cast<int>(std::clamp<int64_t>(v, 0, kAdcMax));
}

void DeriveValues(const int cal[3], uint16_t calculationMode, int out[3]) {
    const int r = cal[0];
    const int g = cal[1];
    const int b = cal[2];
    const int sum = r + g + b;
    if (sum <= 0) {
        out[0] = out[1] = out[2] = 0;
        return;
    }
    if (params::IsSiM(calculationMode)) {
        out[0] = 500 + RoundDiv(500LL * (r - g), sum);
        out[1] = 500 + RoundDiv(250LL * (r + g - 2 * b), sum);
        out[2] = sum * 100 / 1024;
    } else {
        out[0] = RoundDiv(1000LL * r, sum);
        out[1] = RoundDiv(1000LL * g, sum);
        out[2] = RoundDiv(sum, 3);
    }
}

Classification Classify(const int v[3], const int cal[3], int realIntensity,
                        const ParameterBlockBytes& block, const TeachTableBytes& table) {
    Classification result;
    const uint16_t mode = block.get(params::kEvaluationMode);
    const bool threeD = params::Is3D(block.get(params::kCalculationMode));
    const int rows = std::min<int>(block.get(params::kMaxVecNo), params::kTeachRows);

    if (mode == params::kThdRgb) {
        // OUT0..OUT2: calibrated RED, GREEN, BLUE above the threshold of rows 0, 1, 2.
        int pattern = 0;
        for (int c = 0; c < 3; ++c) {
            if (cal[c] > static_cast<int>(table.get(c, params::kCell0))) {
                pattern |= 1 << c;
            }
        }
        result.color = pattern;
        return result;
    }
    if (realIntensity < static_cast<int>(block.get(params::kIntLim))) {
        return result; // below INTLIM: error state, delta C -1
    }

    switch (mode) {
    case params::kFirstHit:
        for (int row = 0; row < rows; ++row) {
            const RowDistance d = Measure(v, table, row, threeD);
            if (d.hit) {
                result.color = row;
                result.deltaC = DeltaCOf(d.distance);
                break;
            }
            if (row == rows - 1) {
                result.deltaC = DeltaCOf(d.distance); // no hit: distance to the last row
            }
        }
        break;
    case params::kBestHit:
    case params::kMinDist: {
        double best = 0;
        for (int row = 0; row < rows; ++row) {
            const RowDistance d = Measure(v, table, row, threeD);
            const bool candidate = mode == params::kBestHit ? d.hit : d.intensityOk;
            if (candidate && (result.color == 255 || d.distance < best)) {
                best = d.distance;
                result.color = row;
            }
        }
        if (result.color != 255) {
            result.deltaC = DeltaCOf(best);
        }
        break;
    }
    case params::kCol5: {
        // One output per row 0..4; delta C is the distance of the nearest hit.
        int pattern = 0;
        double best = -1;
        for (int row = 0; row < std::min(rows, 5); ++row) {
            const RowDistance d = Measure(v, table, row, threeD);
            if (d.hit) {
                pattern |= 1 << row;
                if (best < 0 || d.distance < best) {
                    best = d.distance;
                }
            }
        }
        result.color = pattern;
        result.deltaC = best < 0 ? -1 : DeltaCOf(best);
        return result;
    }
    default:
        return result;
    }

    if (result.color != 255 && block.get(params::kColorGroup) == 1) {
        result.group = table.get(result.color, params::kGroup);
    }
    return result;
}

uint8_t OutputPattern(const Classification& c, const ParameterBlockBytes& block) {
    constexpr uint8_t kAll = 0x1F;
    if (block.get(params::kEvaluationMode) >= params::kCol5) {
        return static_cast<uint8_t>(c.color & kAll);
    }
    const uint16_t outmode = block.get(params::kDigitalOutmode);
    if (outmode == params::kOutBinary) {
        return c.color == 255 ? kAll : static_cast<uint8_t>(c.color & kAll);
    }
    const int index = block.get(params::kColorGroup) == 1 ? c.group : c.color;
    const bool detected = c.color != 255 && index >= 0 && index <= 4;
    if (outmode == params::kOutDirectLo) {
        return detected ? static_cast<uint8_t>(kAll & ~(1 << index)) : kAll;
    }
    return detected ? static_cast<uint8_t>(1 << index) : 0;
}

} // namespace sim
