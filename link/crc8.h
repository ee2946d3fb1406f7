// CRC-8 of the sensor protocol: the 1-Wire polynomial (x^8 + x^5 + x^4 + 1,
// processed LSB first, reflected constant 0x8C), table driven, register
// starting at 0xAA, no final XOR. A block followed by its own CRC byte
// yields 0, which the header check relies on.
#pragma once

#include <cstddef>
#include <cstdint>

namespace com232 {

constexpr uint8_t kCrcInit = 0xAA;

extern const uint8_t CrcTable[256];

// CRC-8 over `count` bytes of `buffer` starting at index `start`.
// A count of 0 returns the initial value 0xAA.
uint8_t crc8Update(const uint8_t* buffer, size_t start, size_t count,
                   const uint8_t* table = CrcTable);

} // namespace com232
