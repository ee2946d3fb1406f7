// The 40-byte LiveDataFrame answered to order 8: twenty signed 16-bit words,
// little-endian. Pure layout shared by the program and the simulator.
#pragma once

#include <cstddef>
#include <cstdint>

namespace live {

constexpr size_t kLiveFrameSize = 40;

enum LiveField : int {
    kRed = 0, // calibrated: RAW * CF / 1024
    kGreen,
    kBlue,
    kX,       // X, or s in the s i M modes
    kY,       // Y, or i
    kInt,     // INT, or M
    kDeltaC,  // distance to a colour hit, -1 when none
    kColor,   // detected row 0..30, 255 = none; output pattern in COL5 / THD RGB
    kGroup,   // detected colour group, 255 = none
    kTrigger, // 1 while triggered
    kTemp,    // sensor temperature as delivered
    kRawRed,
    kRawGreen,
    kRawBlue,
    kExtreme1Red, // first triple of the minimum/maximum display
    kExtreme1Green,
    kExtreme1Blue,
    kExtreme2Red, // second triple
    kExtreme2Green,
    kExtreme2Blue,
    kLiveFieldCount
};

struct LiveDataFrameBytes {
    uint8_t bytes[kLiveFrameSize] = {};

    int16_t get(LiveField f) const {
        return static_cast<int16_t>(static_cast<uint16_t>(bytes[2 * f] | (bytes[2 * f + 1] << 8)));
    }
    void set(LiveField f, int16_t v) {
        const auto u = static_cast<uint16_t>(v);
        bytes[2 * f] = static_cast<uint8_t>(u & 0xFF);
        bytes[2 * f + 1] = static_cast<uint8_t>(u >> 8);
    }
};

} // namespace live
