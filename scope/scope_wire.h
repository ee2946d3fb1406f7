// Wire formats of the scope capture (order 110) and the cycle time (order 105).
#pragma once

#include <cstddef>
#include <cstdint>

namespace scope {

constexpr int kScopeSamples = 128;
constexpr int kScopeBlocks = 4;                 // red line, green line, blue line, digital word
constexpr size_t kScopeBlockData = 2 * 128 + 2; // 128 samples and the ring index: 258 bytes
constexpr size_t kScopeBlockFrame = 8 + kScopeBlockData; // 266 bytes with the header
constexpr size_t kScopeSettingsSize = 10;

// The five 16-bit settings of a capture request, in wire order.
enum ScopeSetting : int {
    kTriggerLevel = 0,
    kTriggerMode,
    kPreTriggerValues,
    kScanRate,
    kRecordSignal,
    kScopeSettingCount
};

enum ScopeTriggerMode : uint16_t {
    kSingleShot = 0,
    kRisingEdge = 1,
    kFallingEdge = 2,
    kInternalColor0 = 3,
    kExternalIn0 = 4
};

// RECORD SIGNAL: 0 = RED, GREEN, BLUE; 1 = X, Y, INT (s, i, M).
enum ScopeRecordSignal : uint16_t { kRecordRgb = 0, kRecordXyInt = 1 };

constexpr size_t kCycleTimeAnswerSize = 8; // T then N, signed 32-bit each

} // namespace scope
