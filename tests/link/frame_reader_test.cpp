// The frame reader: bytes in any split, the checks of the frame at the
// front, and frames that arrive together.
#include "link/crc8.h"
#include "link/frame.h"
#include "link/frame_reader.h"
#include "link/link_texts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace com232 {
namespace {

std::vector<uint8_t> Frame(uint8_t order, uint16_t param, std::vector<uint8_t> data) {
    std::vector<uint8_t> out(kHeaderSize + data.size());
    EncodeFrame(order, param, data.data(), static_cast<uint16_t>(data.size()), out.data());
    return out;
}

std::vector<uint8_t> Bytes(size_t n, uint8_t first) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) {
        v[i] = static_cast<uint8_t>(first + i);
    }
    return v;
}

struct Buffer {
    uint8_t bytes[kRxBufferSize] = {};
    int count = 0;
    FrameReader reader{bytes, sizeof bytes, &count};
};

TEST(FrameReader, AFrameSplitAnywhereIsTheSameFrame) {
    const std::vector<uint8_t> frame = Frame(kOrderLiveData, 3, Bytes(40, 1));
    for (size_t piece = 1; piece <= frame.size(); ++piece) {
        Buffer b;
        FrameHeader h;
        for (size_t at = 0; at < frame.size(); at += piece) {
            const FrontState s = b.reader.Front(&h);
            EXPECT_EQ(at < kHeaderSize ? FrontState::kNeedHeader : FrontState::kNeedData, s)
                << piece << " " << at;
            b.reader.Append(frame.data() + at, std::min(piece, frame.size() - at));
        }
        ASSERT_EQ(FrontState::kComplete, b.reader.Front(&h)) << piece;
        EXPECT_EQ(kOrderLiveData, h.order);
        EXPECT_EQ(3, h.param);
        EXPECT_EQ(40, h.length);
        EXPECT_TRUE(b.reader.WholeFrameAtFront());
    }
}

TEST(FrameReader, BadHeaderBadDataAndOversizeAreToldApart) {
    FrameHeader h;
    {
        Buffer b; // any flipped bit of the header
        std::vector<uint8_t> f = Frame(kOrderLiveData, 0, Bytes(4, 9));
        f[3] ^= 0x10;
        b.reader.Append(f.data(), f.size());
        EXPECT_EQ(FrontState::kBadHeader, b.reader.Front(&h));
        EXPECT_FALSE(b.reader.WholeFrameAtFront());
    }
    {
        Buffer b; // garbage in front of a good frame is not skipped
        const std::vector<uint8_t> f = Frame(kOrderLiveData, 0, Bytes(4, 9));
        const uint8_t garbage[] = {0x00, 0x55, 0xFF, 0x12, 0x34};
        b.reader.Append(garbage, sizeof garbage);
        b.reader.Append(f.data(), f.size());
        EXPECT_EQ(FrontState::kBadHeader, b.reader.Front(&h));
    }
    {
        Buffer b; // a flipped data bit: the header is good, the data are not
        std::vector<uint8_t> f = Frame(kOrderLiveData, 0, Bytes(40, 9));
        f[kHeaderSize + 17] ^= 0x01;
        b.reader.Append(f.data(), f.size() - 1);
        EXPECT_EQ(FrontState::kNeedData, b.reader.Front(&h));
        b.reader.Append(f.data() + f.size() - 1, 1);
        EXPECT_EQ(FrontState::kBadData, b.reader.Front(&h));
        EXPECT_TRUE(b.reader.WholeFrameAtFront());
    }
    {
        Buffer b; // a length that would not fit behind the header
        uint8_t header[kHeaderSize];
        EncodeHeader(kOrderLiveData, 0, static_cast<uint16_t>(kMaxAnswerData + 1), 0, header);
        b.reader.Append(header, sizeof header);
        EXPECT_EQ(FrontState::kBadHeader, b.reader.Front(&h));
        EncodeHeader(kOrderLiveData, 0, static_cast<uint16_t>(kMaxAnswerData), 0, header);
        b.reader.Clear();
        b.reader.Append(header, sizeof header);
        EXPECT_EQ(FrontState::kNeedData, b.reader.Front(&h));
    }
}

TEST(FrameReader, ErrorAnswersCarryTheirText) {
    FrameHeader h;
    h.order = 0;
    h.param = kErrorInvalidOrder;
    EXPECT_STREQ(kTextInvalidOrder, ErrorAnswerText(h));
    h.param = kErrorCommunication;
    EXPECT_STREQ(kTextCommunicationError, ErrorAnswerText(h));
    h.param = 7; // an unknown code: a regular answer
    EXPECT_EQ(nullptr, ErrorAnswerText(h));
    h.order = kOrderLiveData;
    h.param = kErrorInvalidOrder;
    EXPECT_EQ(nullptr, ErrorAnswerText(h));
}

TEST(FrameReader, FramesThatArriveTogetherAreTakenOneAfterTheOther) {
    Buffer b;
    const std::vector<uint8_t> ack = Frame(kOrderAutoSend, 1, {});
    const std::vector<uint8_t> live = Frame(kOrderLiveData, 0, Bytes(40, 100));
    std::vector<uint8_t> stream = ack;
    stream.insert(stream.end(), live.begin(), live.end());
    stream.insert(stream.end(), live.begin(), live.begin() + 11); // the next one begun
    b.reader.Append(stream.data(), stream.size());
    FrameHeader h;
    ASSERT_EQ(FrontState::kComplete, b.reader.Front(&h));
    EXPECT_EQ(0, h.length);
    b.reader.Drop(kHeaderSize + h.length);
    ASSERT_EQ(FrontState::kComplete, b.reader.Front(&h));
    EXPECT_EQ(100, b.bytes[kHeaderSize]);
    b.reader.Drop(kHeaderSize + h.length);
    EXPECT_EQ(11, b.count);
    EXPECT_EQ(FrontState::kNeedData, b.reader.Front(&h));
    b.reader.Drop(100); // never below nothing
    EXPECT_EQ(0, b.count);
    EXPECT_EQ(FrontState::kNeedHeader, b.reader.Front(&h));
}

TEST(FrameReader, AFullBufferTakesNoMore) {
    Buffer b;
    const std::vector<uint8_t> many = Bytes(kRxBufferSize + 100, 0);
    EXPECT_EQ(kRxBufferSize, b.reader.Append(many.data(), many.size()));
    EXPECT_EQ(0u, b.reader.Room());
    EXPECT_EQ(0u, b.reader.Append(many.data(), 1));
    b.reader.Added(5);
    EXPECT_EQ(static_cast<int>(kRxBufferSize), b.count);
}

} // namespace
} // namespace com232
