// Byte layout of the 8-byte frame header shared by requests and answers,
// the order numbers the program sends, and helpers to build and check frames.
// Pure logic: used by the link, the simulated sensor and the tests.
#pragma once

#include <cstddef>
#include <cstdint>

namespace com232 {

constexpr uint8_t kFrameStart = 0x55;
constexpr size_t kHeaderSize = 8;
constexpr size_t kRxBufferSize = 2048;
// Largest answer data block that fits behind the header in RxBuffer.
constexpr size_t kMaxAnswerData = kRxBufferSize - kHeaderSize;
// Largest request data block: order 1 with the 496-byte teach table.
constexpr size_t kMaxRequestData = 496;
constexpr size_t kTxBufferSize = kHeaderSize + kMaxRequestData;

// Order numbers (byte 1 of a request header).
constexpr uint8_t kOrderWritePara = 1;      // ParameterBlock or TeachTable into RAM
constexpr uint8_t kOrderReadPara = 2;       // ParameterBlock or TeachTable from RAM
constexpr uint8_t kOrderStoreEeprom = 3;    // RAM set into EEPROM
constexpr uint8_t kOrderLoadEeprom = 4;     // EEPROM set into RAM, plausibility code
constexpr uint8_t kOrderIdentify = 7;       // serial number and identification text
constexpr uint8_t kOrderLiveData = 8;       // one LiveDataFrame
constexpr uint8_t kOrderAutoSend = 30;      // automatic sending on trigger, on/off
constexpr uint8_t kOrderCalcOffset = 100;   // measure dark offsets
constexpr uint8_t kOrderWriteCalib = 101;   // calibration factors (0) or offsets (1)
constexpr uint8_t kOrderReadCalib = 102;    // CFs and offsets, 12 bytes
constexpr uint8_t kOrderSelfCalib = 103;    // self calibration, 10 bytes
constexpr uint8_t kOrderCycleTime = 105;    // T and N, 8 bytes
constexpr uint8_t kOrderScope = 110;        // scope capture start (1) / break (0)
constexpr uint8_t kOrderBaudrate = 190;     // switch to a new baud-rate index
constexpr uint8_t kOrderHardwareInfo = 194; // 512 bytes of hardware information

// Parameter word that unlocks the hardware information block.
constexpr uint16_t kHardwareInfoKey = 0x4E21;

// Error codes carried in the parameter word of an error answer (order byte 0).
constexpr uint16_t kErrorInvalidOrder = 1;
constexpr uint16_t kErrorCommunication = 2;

struct FrameHeader {
    uint8_t order = 0;
    uint16_t param = 0;
    uint16_t length = 0;
    uint8_t dataCrc = 0;
};

inline uint16_t GetU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline int16_t GetI16(const uint8_t* p) {
    return static_cast<int16_t>(GetU16(p));
}
inline int32_t GetI32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                                (static_cast<uint32_t>(p[2]) << 16) |
                                (static_cast<uint32_t>(p[3]) << 24));
}
inline void PutU16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v & 0xFF);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutI32(uint8_t* p, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<uint8_t>(u >> (8 * i));
    }
}

// Writes the 8 header bytes: start, order, parameter word, data length,
// the given data CRC and the header CRC over bytes 0..6.
void EncodeHeader(uint8_t order, uint16_t param, uint16_t length, uint8_t dataCrc, uint8_t* out8);

// Writes a complete frame (header followed by `length` data bytes) into `out`,
// which must hold kHeaderSize + length bytes. Returns the frame length.
size_t EncodeFrame(uint8_t order, uint16_t param, const uint8_t* data, uint16_t length,
                   uint8_t* out);

// Checks 8 header bytes: the CRC over all eight must be 0 and byte 0 must be
// the start byte. Fills `out` and returns true when the header is good.
bool DecodeHeader(const uint8_t* bytes8, FrameHeader* out);

} // namespace com232
