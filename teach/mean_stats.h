// Statistics of the mean-value teach assistant, free of any panel: where a
// capture goes, the means of the captured frames, their largest distances
// from the mean, and the row that the mean is taught as.
#pragma once

#include <cstdint>

namespace teach {

constexpr int kMaxCapturedFrames = 100;
constexpr int kFrameColumns = 6; // RED GREEN BLUE X Y INT (or s i M)

// One captured frame as the table holds it.
struct CapturedFrame {
    uint16_t v[kFrameColumns] = {};
};

// The counter after one more capture: n + 1, but a capture with the table
// full overwrites the last row, so the count stays at 100.
int CountAfterCapture(int n);
// The counter after an undo: one less, never below 0.
int CountAfterUndo(int n);

struct Means {
    uint16_t v[kFrameColumns] = {};
};
// Means of frames[0..n-1], each column summed in a signed 32-bit sum and
// divided with truncation toward zero. n must be 1..100.
Means MeanOf(const CapturedFrame* frames, int n);

struct MaxDistances {
    int32_t colour = 0;    // d_max: plane distance (2D) or space distance (3D)
    int32_t intensity = 0; // dI_max
};
// Largest distances of frames[0..n-1] from the (truncated) means; each
// distance is computed in double precision and truncated toward zero.
// n = 0 gives 0 and 0.
MaxDistances MaxDeltaOf(const CapturedFrame* frames, int n, const Means& means,
                        uint16_t calculationMode);

// Tolerance choices of the assistant.
enum ToleranceChoice : int {
    kTolFixed = 0,        // the value field
    kTolDistance = 1,     // the largest distance
    kTolDistancePlus = 2, // the largest distance plus the value field
    kTolKeep = 3          // the row keeps its own tolerance
};
// The tolerance a choice gives; sums wrap as unsigned 16-bit, an unknown
// choice gives 0.
uint16_t ChosenTolerance(int choice, int32_t distance, uint16_t fixed, uint16_t rowValue);

// What the assistant's TEACH works with.
struct MeanTeachInput {
    uint16_t calculationMode = 0;
    uint16_t evaluationMode = 0;
    uint16_t meanX = 0;
    uint16_t meanY = 0;
    uint16_t meanInt = 0;
    int32_t dMax = 0;
    int32_t dIMax = 0;
    int firstChoice = kTolFixed;
    int secondChoice = kTolFixed;
    uint16_t firstValue = 0;
    uint16_t secondValue = 0;
};
// Writes the mean and the chosen tolerances into `cells` (cell0..cell4 of
// the row). MIN DIST always gets the colour tolerance 40; in the 3D modes
// the fifth cell is left alone.
void TeachMeanCells(const MeanTeachInput& in, uint16_t cells[5]);

} // namespace teach
