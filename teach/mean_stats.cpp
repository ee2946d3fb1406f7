#include "teach/mean_stats.h"

#include "params/parameter_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace teach {
namespace {

constexpr int kColX = 3;
constexpr int kColY = 4;
constexpr int kColInt = 5;
constexpr uint16_t kMinDistTolerance = 40;

} // namespace

int CountAfterCapture(int n) {
    if (n >= kMaxCapturedFrames) {
        n = kMaxCapturedFrames - 1;
    }
    return std::max(n, 0) + 1;
}

int CountAfterUndo(int n) {
    return n > 0 ? n - 1 : 0;
}

Means MeanOf(const CapturedFrame* frames, int n) {
    Means m;
    if (n <= 0) {
        return m;
    }
    for (int c = 0; c < kFrameColumns; ++c) {
        int32_t sum = 0; // 100 frames of at most 65535 fit
        for (int k = 0; k < n; ++k) {
            sum += frames[k].v[c];
        }
        m.v[c] = static_cast<uint16_t>(sum / n);
    }
    return m;
}

MaxDistances MaxDeltaOf(const CapturedFrame* frames, int n, const Means& means,
                        uint16_t calculationMode) {
    MaxDistances d;
    const bool is3D = params::Is3D(calculationMode);
    for (int k = 0; k < n; ++k) {
        const int32_t dx = static_cast<int32_t>(frames[k].v[kColX]) - means.v[kColX];
        const int32_t dy = static_cast<int32_t>(frames[k].v[kColY]) - means.v[kColY];
        const int32_t di = static_cast<int32_t>(frames[k].v[kColInt]) - means.v[kColInt];
        d.intensity = std::max(d.intensity, std::abs(di));
        double square = static_cast<double>(dx) * dx + static_cast<double>(dy) * dy;
        if (is3D) {
            square += static_cast<double>(di) * di;
        }
        d.colour = std::max(d.colour, static_cast<int32_t>(std::sqrt(square)));
    }
    return d;
}

uint16_t ChosenTolerance(int choice, int32_t distance, uint16_t fixed, uint16_t rowValue) {
    switch (choice) {
    case kTolFixed:
        return fixed;
    case kTolDistance:
        return static_cast<uint16_t>(distance);
    case kTolDistancePlus:
        return static_cast<uint16_t>(static_cast<uint32_t>(distance) + fixed);
    case kTolKeep:
        return rowValue;
    default:
        return 0;
    }
}

void TeachMeanCells(const MeanTeachInput& in, uint16_t cells[5]) {
    const bool is3D = params::Is3D(in.calculationMode);
    const int firstCell = is3D ? 3 : 2;
    const uint16_t t1 = ChosenTolerance(in.firstChoice, in.dMax, in.firstValue, cells[firstCell]);
    const uint16_t t2 = ChosenTolerance(in.secondChoice, in.dIMax, in.secondValue, cells[4]);
    const bool minDist = in.evaluationMode == params::kMinDist;
    cells[0] = in.meanX;
    cells[1] = in.meanY;
    if (is3D) {
        cells[2] = in.meanInt;
        cells[3] = minDist ? kMinDistTolerance : t1;
    } else {
        cells[2] = minDist ? kMinDistTolerance : t1;
        cells[3] = in.meanInt;
        cells[4] = t2;
    }
}

} // namespace teach
