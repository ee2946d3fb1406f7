// Wire layout of the sensor's parameter set: the 34-byte ParameterBlock and
// the 496-byte TeachTable (31 rows of 16 bytes). Both are unsigned 16-bit
// little-endian words held in memory exactly as they travel, so a transfer
// is a plain byte copy. Pure logic shared by the program and the simulator.
#pragma once

#include <cstddef>
#include <cstdint>

namespace params {

constexpr size_t kParameterBlockSize = 34;
constexpr int kTeachRows = 31;
constexpr size_t kTeachVectorSize = 16;
constexpr size_t kTeachTableSize = kTeachRows * kTeachVectorSize; // 496

// ParameterBlock fields in wire order; the word offset is 2 * field.
enum ParaField : int {
    kPower = 0,
    kPowerMode,
    kAverage,
    kEvaluationMode,
    kHoldFail,
    kIntLim,
    kMaxVecNo,
    kDigitalOutmode,
    kTrigger,
    kExternTeach,
    kCalculationMode,
    kDynWinLo,
    kDynWinHi,
    kColorGroup,
    kLedMode,
    kGain,
    kIntegral,
    kParaFieldCount
};

// TeachVector fields in wire order; the byte offset in the row is 2 * field.
enum TeachField : int {
    kCell0 = 0,
    kCell1,
    kCell2,
    kCell3,
    kCell4,
    kGroup,
    kHold,
    kReserved,
    kTeachFieldCount
};

// Selector codes that have a fixed meaning.
enum PowerMode : uint16_t { kPowerStat = 0, kPowerDyn = 1 };
enum EvaluationMode : uint16_t {
    kFirstHit = 0,
    kBestHit = 1,
    kMinDist = 2,
    kCol5 = 3,
    kThdRgb = 4
};
enum TriggerMode : uint16_t {
    kTrigCont = 0,
    kTrigSelf = 1,
    kTrigExt1 = 2,
    kTrigExt2 = 3,
    kTrigExt3 = 4,
    kTrigTrans = 5,
    kTrigPara = 6
};
enum ExternTeachMode : uint16_t {
    kExTeachOff = 0,
    kExTeachOn = 1,
    kExTeachStat1 = 2,
    kExTeachDyn1 = 3
};
enum CalculationMode : uint16_t { kXyInt2D = 0, kSiM2D = 1, kXyInt3D = 2, kSiM3D = 3 };
enum LedMode : uint16_t { kLedDc = 0, kLedAc = 1, kLedPulse = 2, kLedOff = 3 };
// Digital output modes: BINARY is 1; the two direct modes are 0 and 2.
enum DigitalOutmode : uint16_t { kOutDirectHi = 0, kOutBinary = 1, kOutDirectLo = 2 };
// Receiver gain stages AMP1 (lowest) .. AMP8 (highest) are coded 0..7.
constexpr uint16_t kGainStages = 8;

inline bool Is3D(uint16_t calculationMode) {
    return calculationMode == kXyInt3D || calculationMode == kSiM3D;
}
inline bool IsSiM(uint16_t calculationMode) {
    return calculationMode == kSiM2D || calculationMode == kSiM3D;
}

struct ParameterBlockBytes {
    uint8_t bytes[kParameterBlockSize] = {};

    uint16_t get(ParaField f) const {
        return static_cast<uint16_t>(bytes[2 * f] | (bytes[2 * f + 1] << 8));
    }
    void set(ParaField f, uint16_t v) {
        bytes[2 * f] = static_cast<uint8_t>(v & 0xFF);
        bytes[2 * f + 1] = static_cast<uint8_t>(v >> 8);
    }
};

struct TeachTableBytes {
    uint8_t bytes[kTeachTableSize] = {};

    // Row 0..30; callers keep the row in range.
    uint16_t get(int row, TeachField f) const {
        const size_t o = row * kTeachVectorSize + 2 * f;
        return static_cast<uint16_t>(bytes[o] | (bytes[o + 1] << 8));
    }
    void set(int row, TeachField f, uint16_t v) {
        const size_t o = row * kTeachVectorSize + 2 * f;
        bytes[o] = static_cast<uint8_t>(v & 0xFF);
        bytes[o + 1] = static_cast<uint8_t>(v >> 8);
    }
};

// File key, default and missing-items report name of each ParameterBlock field.
struct ParaFieldInfo {
    const char* fileKey;
    uint16_t fileDefault;
    const char* reportName;
};
extern const ParaFieldInfo kParaFieldInfo[kParaFieldCount];

// Defaults of the teach vector keys when a parameter file lacks them.
constexpr uint16_t kDefaultCell = 1;
constexpr uint16_t kDefaultGroup = 0;
constexpr uint16_t kDefaultHold = 10;

// A ParameterBlock holding the file defaults of every field.
ParameterBlockBytes DefaultParameterBlock();

} // namespace params
