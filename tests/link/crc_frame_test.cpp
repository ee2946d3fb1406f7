#include "link/crc8.h"
#include "link/frame.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace com232;

TEST(Crc8, TableAndKnownAnswers) {
    const uint8_t first[] = {0x00, 0x5E, 0xBC, 0xE2, 0x61, 0x3F, 0xDD, 0x83};
    EXPECT_EQ(0, std::memcmp(CrcTable, first, sizeof first));
    EXPECT_EQ(0x8C, CrcTable[128]);

    const uint8_t abc[] = {'a', 'b', 'c'};
    const uint8_t digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(0xAA, crc8Update(abc, 0, 0));
    EXPECT_EQ(0xDE, crc8Update(abc, 0, 3));
    EXPECT_EQ(0x6D, crc8Update(digits, 0, 9));
    // start offset is honoured
    const uint8_t padded[] = {0xFF, 0xFF, 'a', 'b', 'c'};
    EXPECT_EQ(0xDE, crc8Update(padded, 2, 3));
}

TEST(Crc8, BlockFollowedByItsCrcGivesZero) {
    std::vector<uint8_t> block = {1, 2, 3, 250, 99, 0, 7};
    block.push_back(crc8Update(block.data(), 0, block.size()));
    EXPECT_EQ(0, crc8Update(block.data(), 0, block.size()));
}

TEST(Frame, ExactRequestBytes) {
    uint8_t out[kHeaderSize];
    EncodeHeader(kOrderIdentify, 0, 0, kCrcInit, out);
    const uint8_t identify[] = {0x55, 0x07, 0x00, 0x00, 0x00, 0x00, 0xAA, 0x52};
    EXPECT_EQ(0, std::memcmp(out, identify, 8));

    EncodeHeader(kOrderLiveData, 0, 0, kCrcInit, out);
    const uint8_t live[] = {0x55, 0x08, 0x00, 0x00, 0x00, 0x00, 0xAA, 0x76};
    EXPECT_EQ(0, std::memcmp(out, live, 8));

    EncodeHeader(kOrderAutoSend, 1, 0, kCrcInit, out);
    const uint8_t autosend[] = {0x55, 0x1E, 0x01, 0x00, 0x00, 0x00, 0xAA, 0x52};
    EXPECT_EQ(0, std::memcmp(out, autosend, 8));

    EncodeHeader(kOrderReadPara, 258, 0, kCrcInit, out);
    EXPECT_EQ(0x02, out[2]);
    EXPECT_EQ(0x01, out[3]);
}

TEST(Frame, EncodeDecodeRoundTripAndEverySingleBitFlipIsRejected) {
    uint8_t frame[kHeaderSize + 6];
    const uint8_t data[] = {0x00, 0x04, 0x00, 0x04, 0x00, 0x04};
    EXPECT_EQ(14u, EncodeFrame(kOrderWriteCalib, 0, data, 6, frame));
    EXPECT_EQ(crc8Update(data, 0, 6), frame[6]);

    FrameHeader h;
    ASSERT_TRUE(DecodeHeader(frame, &h));
    EXPECT_EQ(kOrderWriteCalib, h.order);
    EXPECT_EQ(0, h.param);
    EXPECT_EQ(6, h.length);
    EXPECT_EQ(0, crc8Update(frame, 0, 8));

    for (int byte = 0; byte < 8; ++byte) {
        for (int bit = 0; bit < 8; ++bit) {
            uint8_t copy[8];
            std::memcpy(copy, frame, 8);
            copy[byte] ^= static_cast<uint8_t>(1u << bit);
            FrameHeader unchanged;
            EXPECT_FALSE(DecodeHeader(copy, &unchanged)) << "byte " << byte << " bit " << bit;
        }
    }
}

TEST(Frame, WrongStartByteWithValidCrcIsRejected) {
    uint8_t h8[8] = {0x56, 0x08, 0, 0, 0, 0, 0xAA, 0};
    h8[7] = crc8Update(h8, 0, 7);
    EXPECT_EQ(0, crc8Update(h8, 0, 8));
    FrameHeader h;
    EXPECT_FALSE(DecodeHeader(h8, &h));
}
