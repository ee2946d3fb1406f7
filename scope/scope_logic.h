// Scope arithmetic free of panels: the time order of a captured block, the
// stacked digital traces, the cycle time and scan frequency with their
// display precisions, the cursor deltas, and the Y range of the scope graph.
#pragma once

#include "scope/scope_wire.h"

#include <array>
#include <cstdint>
#include <string>

namespace scope {

using SampleBlock = std::array<int16_t, kScopeSamples>;
constexpr int kDigitalTraces = 6;
using DigitalTraceSet = std::array<std::array<uint16_t, kScopeSamples>, kDigitalTraces>;

// Ring index of a block (the 16-bit word after the 128 samples).
int16_t RingIndexOf(const uint8_t* blockData);

// First ring position of the time-ordered block: (index + 128 - preTrigger)
// in the low 7 bits, so an index or pre-trigger count outside 0..127 still
// addresses a sample of the ring.
int TimeOrderStart(int16_t ringIndex, uint16_t preTrigger);

// Puts one block of 258 data bytes (128 samples as the sensor's ring holds
// them, then the ring index) into time order. SINGLE SHOT fills the ring from
// position 0, so its ring index is ignored; the other modes start at
// TimeOrderStart, each block with its own ring index.
SampleBlock ReorderBlock(const uint8_t* blockData, uint16_t triggerMode, uint16_t preTrigger);

// The six digital lines of the digital word, stacked so that they do not
// overlap: line j (0..4) is bit j plus 8 - 2j, line 5 is bit 5 plus 10.
DigitalTraceSet DigitalTracesOf(const SampleBlock& digitalWords);

// Cycle time in ms from the answer of the cycle-time order: T / (N x 0.01).
// A count that gives no usable time (N of 0, a negative or non-finite
// result) gives 0, the value of a cycle time not measured.
double CycleTimeMs(int32_t t, int32_t n);
// Scan frequency in Hz: 1000 / cycle time, 0 while the cycle time is 0.
double ScanFrequencyHz(double cycleTimeMs);

// Display precisions.
int CycleTimeDecimals(double cycleTimeMs);     // 0 above 1000, 1 above 1, else 2
int ScanFrequencyDecimals(double cycleTimeMs); // 6 above 10000, 3 above 1, else 0
int DeltaXDecimals(double deltaXMs);           // 0 above 1000, 3 above 1, else 6

// Cursor deltas: whole samples between the two cursors times the cycle time
// and SCAN RATE (ms), and the difference of the truncated levels (digits).
int SampleDistance(double x1, double x2);
double DeltaXMs(double x1, double x2, double cycleTimeMs, uint16_t scanRate);
int DeltaYDigits(double y1, double y2);

// Upper end of the scope graph's Y axis: 10000 when X, Y, INT are recorded
// in an s i M calculation mode (M is not limited to 4095), else 4100.
double ScopeYMaximum(uint16_t calculationMode, uint16_t recordSignal);

// The request data of a capture: the five settings as little-endian words.
void EncodeScopeSettings(const std::array<uint16_t, kScopeSettingCount>& settings,
                         uint8_t out[kScopeSettingsSize]);

// A capture as a tab-separated table: a caption line, then one line per
// sample: sample number, the three analogue lines, the digital word. Lines
// end in CR LF.
std::string CaptureTable(const std::array<SampleBlock, kScopeBlocks>& blocks,
                         uint16_t recordSignal);

} // namespace scope
