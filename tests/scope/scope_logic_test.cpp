// Scope arithmetic: time order of a block, digital traces, cycle time and
// cursor deltas with their display precisions, the Y range, the settings
// request, and the printout's content and page arrangement.
#include "link/frame.h"
#include "scope/scope_logic.h"
#include "scope/scope_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace scope;

namespace {

// A block whose ring position i holds the sample 1000 + i, with the given
// ring index word.
std::vector<uint8_t> RingBlock(uint16_t ringIndex) {
    std::vector<uint8_t> data(kScopeBlockData);
    for (int i = 0; i < kScopeSamples; ++i) {
        com232::PutU16(data.data() + 2 * i, static_cast<uint16_t>(1000 + i));
    }
    com232::PutU16(data.data() + 2 * kScopeSamples, ringIndex);
    return data;
}

} // namespace

TEST(ScopeReorder, PreTriggerPartComesFirstFromTheRingIndex) {
    const auto data = RingBlock(5);
    // RISING EDGE, 20 values before the trigger, ring index 5: ring position
    // 113 first, on to 127, then 0 .. 112.
    const SampleBlock b = ReorderBlock(data.data(), kRisingEdge, 20);
    EXPECT_EQ(1113, b[0]);
    EXPECT_EQ(1127, b[14]);
    EXPECT_EQ(1000, b[15]);
    EXPECT_EQ(1005, b[20]); // the trigger sample sits at PRE-TRIGGER VALUES
    EXPECT_EQ(1112, b[127]);
    // Without a pre-trigger part the trigger sample comes first.
    EXPECT_EQ(1005, ReorderBlock(data.data(), kExternalIn0, 0)[0]);
    EXPECT_EQ(1004, ReorderBlock(data.data(), kExternalIn0, 0)[127]);
}

TEST(ScopeReorder, SingleShotIgnoresTheRingIndex) {
    const auto data = RingBlock(77);
    const SampleBlock b = ReorderBlock(data.data(), kSingleShot, 20);
    for (int k = 0; k < kScopeSamples; ++k) {
        EXPECT_EQ(1000 + k, b[static_cast<size_t>(k)]);
    }
}

TEST(ScopeReorder, RingIndexOutsideTheRingUsesItsLowSevenBits) {
    // 133 = 128 + 5 and -123 = -128 + 5 address the same sample as 5.
    const SampleBlock expected = ReorderBlock(RingBlock(5).data(), kFallingEdge, 20);
    EXPECT_EQ(expected, ReorderBlock(RingBlock(133).data(), kFallingEdge, 20));
    EXPECT_EQ(expected,
              ReorderBlock(RingBlock(static_cast<uint16_t>(-123)).data(), kFallingEdge, 20));
    EXPECT_EQ(expected, ReorderBlock(RingBlock(0xFF85).data(), kFallingEdge, 20)); // -123
    EXPECT_EQ(expected, ReorderBlock(RingBlock(0x7F85).data(), kFallingEdge, 20));
    // Every start lies inside the ring.
    for (int index : {-32768, -1, 0, 127, 128, 32767}) {
        for (int pre : {0, 1, 127, 128, 65535}) {
            const int start =
                TimeOrderStart(static_cast<int16_t>(index), static_cast<uint16_t>(pre));
            EXPECT_GE(start, 0);
            EXPECT_LT(start, kScopeSamples);
        }
    }
}

TEST(ScopeReorder, SamplesAreSigned) {
    auto data = RingBlock(0);
    com232::PutU16(data.data(), 0xFFFE);
    EXPECT_EQ(-2, ReorderBlock(data.data(), kSingleShot, 0)[0]);
    EXPECT_EQ(0, RingIndexOf(data.data()));
}

TEST(ScopeDigital, TracesAreStackedByBit) {
    SampleBlock words{};
    words[0] = 1;                            // only bit 0
    words[1] = 0x3F;                         // all six
    words[2] = 0x20;                         // only bit 5
    words[3] = static_cast<int16_t>(0xFFC0); // bits above 5 do not show
    const DigitalTraceSet t = DigitalTracesOf(words);
    const uint16_t bit0Only[6] = {9, 6, 4, 2, 0, 10};
    const uint16_t all[6] = {9, 7, 5, 3, 1, 11};
    const uint16_t bit5Only[6] = {8, 6, 4, 2, 0, 11};
    const uint16_t none[6] = {8, 6, 4, 2, 0, 10};
    for (size_t j = 0; j < 6; ++j) {
        EXPECT_EQ(bit0Only[j], t[j][0]) << j;
        EXPECT_EQ(all[j], t[j][1]) << j;
        EXPECT_EQ(bit5Only[j], t[j][2]) << j;
        EXPECT_EQ(none[j], t[j][3]) << j;
        EXPECT_EQ(none[j], t[j][127]) << j;
    }
}

TEST(ScopeTiming, CycleTimeScanFrequencyAndDeltaX) {
    // T = 50, N = 1000: 5 ms a scan, 200 Hz; SCAN RATE 2 and cursors ten
    // samples apart give 100 ms.
    const double ct = CycleTimeMs(50, 1000);
    EXPECT_DOUBLE_EQ(5.0, ct);
    EXPECT_DOUBLE_EQ(200.0, ScanFrequencyHz(ct));
    EXPECT_DOUBLE_EQ(100.0, DeltaXMs(20.0, 30.0, ct, 2));
    EXPECT_DOUBLE_EQ(100.0, DeltaXMs(30.9, 20.0, ct, 2)); // 10.9 samples count as 10
    // The simulator's answer: T in µs, N = 100000.
    EXPECT_DOUBLE_EQ(0.25, CycleTimeMs(250, 100000));
}

TEST(ScopeTiming, CountsWithoutAUsableTimeGiveZero) {
    EXPECT_EQ(0.0, CycleTimeMs(50, 0));
    EXPECT_EQ(0.0, CycleTimeMs(0, 0));
    EXPECT_EQ(0.0, CycleTimeMs(-50, 1000));
    EXPECT_EQ(0.0, CycleTimeMs(50, -1000));
    EXPECT_EQ(0.0, ScanFrequencyHz(0));
    EXPECT_EQ(0.0, DeltaXMs(10, 90, 0, 5));
}

TEST(ScopeTiming, DisplayPrecisions) {
    EXPECT_EQ(0, CycleTimeDecimals(1000.5));
    EXPECT_EQ(1, CycleTimeDecimals(1000));
    EXPECT_EQ(1, CycleTimeDecimals(1.01));
    EXPECT_EQ(2, CycleTimeDecimals(1));
    EXPECT_EQ(2, CycleTimeDecimals(0));
    EXPECT_EQ(6, ScanFrequencyDecimals(10000.5));
    EXPECT_EQ(3, ScanFrequencyDecimals(10000));
    EXPECT_EQ(3, ScanFrequencyDecimals(1.5));
    EXPECT_EQ(0, ScanFrequencyDecimals(1));
    EXPECT_EQ(0, DeltaXDecimals(1000.1));
    EXPECT_EQ(3, DeltaXDecimals(1000));
    EXPECT_EQ(3, DeltaXDecimals(1.1));
    EXPECT_EQ(6, DeltaXDecimals(1));
    EXPECT_EQ(6, DeltaXDecimals(0));
}

TEST(ScopeTiming, DeltaYTruncatesEachLevelFirst) {
    EXPECT_EQ(1, DeltaYDigits(10.9, 9.1));   // 10 - 9
    EXPECT_EQ(20, DeltaYDigits(-0.5, 20.7)); // 0 - 20
    EXPECT_EQ(0, DeltaYDigits(NAN, 0));
    EXPECT_EQ(0, SampleDistance(5, 5.99));
    EXPECT_EQ(1000000000, SampleDistance(-1e300, 1e300)); // held, not undefined
}

TEST(ScopeGraph, YRangeFollowsCalculationModeAndRecordSignal) {
    EXPECT_EQ(10000.0, ScopeYMaximum(3, kRecordXyInt));
    EXPECT_EQ(10000.0, ScopeYMaximum(1, kRecordXyInt));
    EXPECT_EQ(4100.0, ScopeYMaximum(2, kRecordXyInt));
    EXPECT_EQ(4100.0, ScopeYMaximum(0, kRecordXyInt));
    EXPECT_EQ(4100.0, ScopeYMaximum(3, kRecordRgb));
}

TEST(ScopeRequest, SettingsGoOutAsLittleEndianWordsInOrder) {
    uint8_t out[kScopeSettingsSize];
    EncodeScopeSettings({0x0102, 1, 20, 300, 1}, out);
    const uint8_t expected[kScopeSettingsSize] = {0x02, 0x01, 1, 0, 20, 0, 0x2C, 0x01, 1, 0};
    for (size_t i = 0; i < kScopeSettingsSize; ++i) {
        EXPECT_EQ(expected[i], out[i]) << i;
    }
}

TEST(ScopeReport, ContentInOrderWithAndWithoutIdAndComment) {
    using Kind = ReportElement::Kind;
    const auto bare = ScopeReportContent("CHROMIK3 Scope V4.3", "", "");
    ASSERT_EQ(4u, bare.size());
    EXPECT_EQ("Scope Screen Shot", bare[0].text);
    EXPECT_EQ(20, bare[0].pointSize);
    EXPECT_EQ("CHROMIK3 Scope V4.3", bare[1].text);
    EXPECT_EQ(10, bare[1].pointSize);
    EXPECT_EQ(Kind::EmptyLine, bare[2].kind);
    EXPECT_EQ(Kind::Image, bare[3].kind);
    EXPECT_EQ("Panel", bare[3].text);

    const auto full = ScopeReportContent("CHROMIK3 Scope V4.3", "LINE 3", "first\nsecond");
    ASSERT_EQ(8u, full.size());
    EXPECT_EQ("PANEL ID: LINE 3", full[2].text);
    EXPECT_EQ(Kind::EmptyLine, full[3].kind);
    EXPECT_EQ("COMMENT:", full[4].text);
    EXPECT_EQ("first\nsecond", full[5].text); // one element for the whole comment
    EXPECT_EQ(Kind::EmptyLine, full[6].kind);
    EXPECT_EQ(Kind::Image, full[7].kind);
}

TEST(ScopeReport, CommentIsCutAtWholeCharacters) {
    EXPECT_EQ(1023u, ScopeReportContent("P", "", std::string(2000, 'x'))[4].text.size());
    // "é" is two bytes: 1022 letters and one "é" would need 1024 bytes.
    const std::string text = std::string(1022, 'a') + "\xC3\xA9";
    EXPECT_EQ(std::string(1022, 'a'), TruncateUtf8(text, 1023));
    EXPECT_EQ("ab", TruncateUtf8("ab", 1023));
}

TEST(ScopeReport, PagesAndPageNumbers) {
    EXPECT_EQ("page 1 of 1", PageNofM(1, 1));
    EXPECT_EQ("page 2 of 3", PageNofM(2, 3));
    EXPECT_EQ((std::vector<int>{0, 0, 0}), PlaceOnPages({10, 20, 70}, 100));
    EXPECT_EQ((std::vector<int>{0, 0, 1}), PlaceOnPages({10, 20, 71}, 100));
    // An element taller than a page gets a page of its own.
    EXPECT_EQ((std::vector<int>{0, 1, 2}), PlaceOnPages({10, 500, 10}, 100));
    EXPECT_EQ((std::vector<int>{0}), PlaceOnPages({500}, 100));
}

TEST(ScopeCaptureTable, OneLinePerSampleWithTheDigitalWordUnsigned) {
    std::array<SampleBlock, kScopeBlocks> blocks{};
    blocks[0][0] = 4095;
    blocks[1][0] = -3; // an analogue line keeps its sign
    blocks[2][127] = 17;
    blocks[3][0] = static_cast<int16_t>(0xFFFF); // all six digital lines and more set
    const std::string rgb = CaptureTable(blocks, kRecordRgb);
    EXPECT_EQ(
        0u, rgb.find(
                "SAMPLE\tRED\tGREEN\tBLUE\tDIGITAL\r\n0\t4095\t-3\t0\t65535\r\n1\t0\t0\t0\t0\r\n"));
    EXPECT_NE(std::string::npos, rgb.find("\r\n127\t0\t0\t17\t0\r\n"));
    EXPECT_EQ(129, std::count(rgb.begin(), rgb.end(), '\n'));
    EXPECT_EQ(0u, CaptureTable(blocks, kRecordXyInt).find("SAMPLE\tX s\tY i\tINT M\tDIGITAL\r\n"));
}
