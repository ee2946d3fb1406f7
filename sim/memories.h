// The simulated sensor's memories: two parameter sets (ParameterBlock and
// TeachTable) in RAM and in EEPROM, the calibration factors and the dark
// offsets, the plausibility rules applied to everything written into them,
// and the EEPROM image that can be kept in a file between runs.
#pragma once

#include "params/parameter_layout.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace sim {

constexpr int kParameterSets = 2;

struct ParameterSet {
    params::ParameterBlockBytes block;
    params::TeachTableBytes table;
};

struct CalibrationData {
    uint16_t cf[3] = {1024, 1024, 1024}; // RED, GREEN, BLUE; CALIBRATED = RAW * CF / 1024
    uint16_t offset[3] = {0, 0, 0};      // dark offsets subtracted from the raw signal
};

// Inclusive range of a ParameterBlock field; fields outside are replaced by
// the field's file default and counted.
struct FieldRange {
    uint16_t lo;
    uint16_t hi;
};
FieldRange ParameterFieldRange(params::ParaField field);

// Largest accepted group number of a teach row, largest offset, largest CF.
constexpr uint16_t kMaxGroupNumber = 30;
constexpr uint16_t kMaxOffset = 4095;
constexpr uint16_t kMaxCf = 4096;

// Each function replaces the values that are out of range by their default
// and returns how many it replaced (the plausibility code of the answer).
int CheckParameterBlock(params::ParameterBlockBytes* block);
int CheckTeachTable(params::TeachTableBytes* table);
int CheckCalibrationFactors(uint16_t cf[3]);
int CheckOffsets(uint16_t offset[3]);

// Size of the EEPROM image: magic, both parameter sets, CFs and offsets.
constexpr size_t kEepromMagicSize = 8;
constexpr size_t kEepromImageSize =
    kEepromMagicSize + kParameterSets * (params::kParameterBlockSize + params::kTeachTableSize) +
    12;

struct Memories {
    ParameterSet ram[kParameterSets];
    ParameterSet eeprom[kParameterSets];
    CalibrationData calib; // kept in EEPROM: every write goes there at once

    // Writes the EEPROM image (exactly kEepromImageSize bytes) into `out`.
    void EncodeEeprom(uint8_t* out) const;
    // Reads an EEPROM image; false (nothing changed) when size or magic are wrong.
    bool DecodeEeprom(const uint8_t* in, size_t size);

    // EEPROM file persistence. Saving writes a temporary file and renames it,
    // so a crash never leaves half a file behind.
    bool LoadEepromFile(const std::string& path, std::string* error);
    bool SaveEepromFile(const std::string& path, std::string* error) const;
};

} // namespace sim
