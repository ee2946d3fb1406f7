#include "link/frame.h"

#include "link/crc8.h"

#include <cstring>

namespace com232 {

void EncodeHeader(uint8_t order, uint16_t param, uint16_t length, uint8_t dataCrc, uint8_t* out8) {
    out8[0] = kFrameStart;
    out8[1] = order;
    PutU16(out8 + 2, param);
    PutU16(out8 + 4, length);
    out8[6] = dataCrc;
    out8[7] = crc8Update(out8, 0, 7);
}

size_t EncodeFrame(uint8_t order, uint16_t param, const uint8_t* data, uint16_t length,
                   uint8_t* out) {
    if (length > 0 && data != out + kHeaderSize) {
        std::memmove(out + kHeaderSize, data, length);
    }
    EncodeHeader(order, param, length, crc8Update(out, kHeaderSize, length), out);
    return kHeaderSize + length;
}

bool DecodeHeader(const uint8_t* bytes8, FrameHeader* out) {
    if (bytes8[0] != kFrameStart || crc8Update(bytes8, 0, kHeaderSize) != 0) {
        return false;
    }
    out->order = bytes8[1];
    out->param = GetU16(bytes8 + 2);
    out->length = GetU16(bytes8 + 4);
    out->dataCrc = bytes8[6];
    return true;
}

} // namespace com232
