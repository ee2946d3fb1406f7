// Content of the hardware information file, free of any panel: the
// 512-byte hardware block of order 194 as hexadecimal text, and every
// section of the file put into an INI store in file order.
//
//   [GENERAL INFO]        FILE TYPE:, SCOPE VERSION:, FIRMWARE VERSION:
//   [HARDWARE INFO]       DATA = the block as 1024 hexadecimal digits
//   [CALIBRATION FACTOR]  RED, GREEN, BLUE
//   [OFFSET]              RED, GREEN, BLUE
//   [PARAMETER], [TEACH VECTOR 0] .. [TEACH VECTOR 30]  as in the parameter file
#pragma once

#include "inifile/ini_store.h"
#include "params/parameter_layout.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace hwinfo {

constexpr size_t kHardwareBlockSize = 512;
constexpr size_t kHardwareWords = kHardwareBlockSize / 2;
constexpr size_t kHardwareTextSize = 4 * kHardwareWords; // 1024 characters

inline constexpr const char* kFileType = "Hardware Initial File";
inline constexpr const char* kScopeVersion = "CHROMIK3 Scope V4.3.1";
inline constexpr const char* kDefaultFileName = "HardwareInitialFile.ini";

// The block as text: word i is bytes 2i (low) and 2i+1 (high), written as
// four upper-case hexadecimal digits, high digit first, all 256 words without
// separators. Bytes beyond `length` count as zero, so a shorter answer still
// gives 1024 characters.
std::string HardwareBlockText(const uint8_t* data, size_t length);
// The reverse, for readers of the file: true when `text` is exactly 1024
// hexadecimal digits (either letter case); `out` receives the 512 bytes.
bool HardwareBlockFromText(const std::string& text, uint8_t out[kHardwareBlockSize]);

struct HardwareInfo {
    std::string firmwareVersion; // the sensor's identification text
    std::string dataText;        // HardwareBlockText of the order 194 answer
    uint16_t cf[3] = {};         // calibration factors RED, GREEN, BLUE
    uint16_t offset[3] = {};     // offsets RED, GREEN, BLUE
    params::ParameterBlockBytes para;
    params::TeachTableBytes teach;
};

// Puts the whole file in order; 0, or the store's negative result when an
// item could not be stored.
int PutHardwareInfoFile(ini::IniStore* store, const HardwareInfo& info);

} // namespace hwinfo
