#include "scope/scope_logic.h"

#include "link/frame.h"
#include "params/parameter_layout.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace scope {

int16_t RingIndexOf(const uint8_t* blockData) {
    return com232::GetI16(blockData + 2 * kScopeSamples);
}

int TimeOrderStart(int16_t ringIndex, uint16_t preTrigger) {
    return (static_cast<int>(ringIndex) + kScopeSamples - static_cast<int>(preTrigger)) &
           (kScopeSamples - 1);
}

SampleBlock ReorderBlock(const uint8_t* blockData, uint16_t triggerMode, uint16_t preTrigger) {
    const int start =
        triggerMode == kSingleShot ? 0 : TimeOrderStart(RingIndexOf(blockData), preTrigger);
    SampleBlock out{};
    for (int k = 0; k < kScopeSamples; ++k) {
        const int position = (start + k) & (kScopeSamples - 1);
        out[static_cast<size_t>(k)] = com232::GetI16(blockData + 2 * position);
    }
    return out;
}

DigitalTraceSet DigitalTracesOf(const SampleBlock& digitalWords) {
    DigitalTraceSet traces{};
    for (int k = 0; k < kScopeSamples; ++k) {
        const auto w = static_cast<uint16_t>(digitalWords[static_cast<size_t>(k)]);
        for (int j = 0; j < 5; ++j) {
            traces[static_cast<size_t>(j)][static_cast<size_t>(k)] =
                static_cast<uint16_t>(((w >> j) & 1u) + 8 - 2 * j);
        }
        traces[5][static_cast<size_t>(k)] = static_cast<uint16_t>(((w >> 5) & 1u) + 10);
    }
    return traces;
}

double CycleTimeMs(int32_t t, int32_t n) {
    if (n == 0) {
        return 0;
    }
    const double ms = static_cast<double>(t) / (static_cast<double>(n) * 0.01);
    return std::isfinite(ms) && ms > 0 ? ms : 0;
}

double ScanFrequencyHz(double cycleTimeMs) {
    return cycleTimeMs > 0 ? 1000.0 / cycleTimeMs : 0;
}

int CycleTimeDecimals(double cycleTimeMs) {
    if (cycleTimeMs > 1000) {
        return 0;
    }
    return cycleTimeMs > 1 ? 1 : 2;
}

int ScanFrequencyDecimals(double cycleTimeMs) {
    if (cycleTimeMs > 10000) {
        return 6;
    }
    return cycleTimeMs > 1 ? 3 : 0;
}

int DeltaXDecimals(double deltaXMs) {
    if (deltaXMs > 1000) {
        return 0;
    }
    return deltaXMs > 1 ? 3 : 6;
}

namespace {

// Truncation toward zero, held to the int range (cursor positions are
// graph coordinates and may lie anywhere).
int TruncToInt(double v) {
    if (!std::isfinite(v)) {
        return 0;
    }
    constexpr double kLimit = 1e9;
    if (v > kLimit) {
        v = kLimit;
    } else if (v < -kLimit) {
        v = -kLimit;
    }
    return static_cast<int>(std::trunc(v));
}

} // namespace

int SampleDistance(double x1, double x2) {
    return TruncToInt(std::fabs(x1 - x2));
}

double DeltaXMs(double x1, double x2, double cycleTimeMs, uint16_t scanRate) {
    return SampleDistance(x1, x2) * cycleTimeMs * static_cast<double>(scanRate);
}

int DeltaYDigits(double y1, double y2) {
    return std::abs(TruncToInt(y1) - TruncToInt(y2));
}

double ScopeYMaximum(uint16_t calculationMode, uint16_t recordSignal) {
    return recordSignal == kRecordXyInt && params::IsSiM(calculationMode) ? 10000.0 : 4100.0;
}

void EncodeScopeSettings(const std::array<uint16_t, kScopeSettingCount>& settings,
                         uint8_t out[kScopeSettingsSize]) {
    for (int i = 0; i < kScopeSettingCount; ++i) {
        com232::PutU16(out + 2 * i, settings[static_cast<size_t>(i)]);
    }
}

std::string CaptureTable(const std::array<SampleBlock, kScopeBlocks>& blocks,
                         uint16_t recordSignal) {
    std::string text = recordSignal == kRecordXyInt ? "SAMPLE\tX s\tY i\tINT M\tDIGITAL\r\n"
                                                    : "SAMPLE\tRED\tGREEN\tBLUE\tDIGITAL\r\n";
    char line[96];
    for (int i = 0; i < kScopeSamples; ++i) {
        const int n = std::snprintf(line, sizeof line, "%d\t%d\t%d\t%d\t%u\r\n", i, blocks[0][i],
                                    blocks[1][i], blocks[2][i],
                                    static_cast<unsigned>(static_cast<uint16_t>(blocks[3][i])));
        text.append(line, static_cast<size_t>(n));
    }
    return text;
}

} // namespace scope
