#include "sim/memories.h"

#include "link/frame.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace sim {
namespace {

using params::ParaField;

constexpr char kEepromMagic[kEepromMagicSize] = {'C', '3', 'S', 'I', 'M', 'E', 'E', '1'};

} // namespace

FieldRange ParameterFieldRange(ParaField field) {
    switch (field) {
    case params::kPower:
        return {0, 1000};
    case params::kPowerMode:
        return {0, 1};
    case params::kAverage:
        return {0, 1000}; // 0 works like 1
    case params::kEvaluationMode:
        return {0, 4};
    case params::kHoldFail:
        return {0, 65535};
    case params::kIntLim:
        return {0, 4095};
    case params::kMaxVecNo:
        return {0, 31};
    case params::kDigitalOutmode:
        return {0, 2};
    case params::kTrigger:
        return {0, 6};
    case params::kExternTeach:
        return {0, 3};
    case params::kCalculationMode:
        return {0, 3};
    case params::kDynWinLo:
    case params::kDynWinHi:
        return {0, 4095};
    case params::kColorGroup:
        return {0, 1};
    case params::kLedMode:
        return {0, 3};
    case params::kGain:
        return {0, params::kGainStages - 1};
    case params::kIntegral:
        return {0, 250};
    default:
        return {0, 65535};
    }
}

int CheckParameterBlock(params::ParameterBlockBytes* block) {
    int replaced = 0;
    for (int f = 0; f < params::kParaFieldCount; ++f) {
        const auto field = static_cast<ParaField>(f);
        const FieldRange r = ParameterFieldRange(field);
        const uint16_t v = block->get(field);
        if (v < r.lo || v > r.hi) {
            block->set(field, params::kParaFieldInfo[f].fileDefault);
            ++replaced;
        }
    }
    return replaced;
}

int CheckTeachTable(params::TeachTableBytes* table) {
    int replaced = 0;
    for (int row = 0; row < params::kTeachRows; ++row) {
        if (table->get(row, params::kGroup) > kMaxGroupNumber) {
            table->set(row, params::kGroup, params::kDefaultGroup);
            ++replaced;
        }
    }
    return replaced;
}

int CheckCalibrationFactors(uint16_t cf[3]) {
    int replaced = 0;
    for (int c = 0; c < 3; ++c) {
        if (cf[c] > kMaxCf) {
            cf[c] = 1024;
            ++replaced;
        }
    }
    return replaced;
}

int CheckOffsets(uint16_t offset[3]) {
    int replaced = 0;
    for (int c = 0; c < 3; ++c) {
        if (offset[c] > kMaxOffset) {
            offset[c] = 0;
            ++replaced;
        }
    }
    return replaced;
}

void Memories::EncodeEeprom(uint8_t* out) const {
    std::memcpy(out, kEepromMagic, kEepromMagicSize);
    size_t o = kEepromMagicSize;
    for (const ParameterSet& set : eeprom) {
        std::memcpy(out + o, set.block.bytes, params::kParameterBlockSize);
        o += params::kParameterBlockSize;
        std::memcpy(out + o, set.table.bytes, params::kTeachTableSize);
        o += params::kTeachTableSize;
    }
    for (int c = 0; c < 3; ++c) {
        com232::PutU16(out + o + 2 * c, calib.cf[c]);
        com232::PutU16(out + o + 6 + 2 * c, calib.offset[c]);
    }
}

bool Memories::DecodeEeprom(const uint8_t* in, size_t size) {
    if (size != kEepromImageSize || std::memcmp(in, kEepromMagic, kEepromMagicSize) != 0) {
        return false;
    }
    size_t o = kEepromMagicSize;
    for (ParameterSet& set : eeprom) {
        std::memcpy(set.block.bytes, in + o, params::kParameterBlockSize);
        o += params::kParameterBlockSize;
        std::memcpy(set.table.bytes, in + o, params::kTeachTableSize);
        o += params::kTeachTableSize;
    }
    for (int c = 0; c < 3; ++c) {
        calib.cf[c] = com232::GetU16(in + o + 2 * c);
        calib.offset[c] = com232::GetU16(in + o + 6 + 2 * c);
    }
    return true;
}

bool Memories::LoadEepromFile(const std::string& path, std::string* error) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    std::vector<uint8_t> bytes(kEepromImageSize + 1);
    const size_t n = std::fread(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    if (!DecodeEeprom(bytes.data(), n)) {
        *error = path + ": not an EEPROM image of the simulated sensor";
        return false;
    }
    return true;
}

bool Memories::SaveEepromFile(const std::string& path, std::string* error) const {
    uint8_t image[kEepromImageSize];
    EncodeEeprom(image);
    const std::string tmp = path + ".tmp";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (f == nullptr) {
        *error = tmp + ": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(image, 1, sizeof image, f) == sizeof image;
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed || std::rename(tmp.c_str(), path.c_str()) != 0) {
        *error = path + ": " + std::strerror(errno);
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

} // namespace sim
