// The scope capture: the ring index and the pre-trigger part, so that the
// program's reordering start = (index + 128 - PRE-TRIGGER VALUES) mod 128
// puts the trigger sample at position PRE-TRIGGER VALUES; the trigger
// modes; and the frames of a capture through the dispatcher.
#include "sim/scope_capture.h"
#include "sim_test_util.h"

#include <vector>

namespace {

using sim::ScopeCapture;
using sim::ScopeSettings;

// Scan n carries the blue value `blue(n)` and the scan number in red.
sim::ScanResult ScanOf(int n, int blue, bool in0 = false, int color = 255) {
    sim::ScanResult s;
    s.scan = static_cast<uint64_t>(n);
    s.cal[0] = n;
    s.cal[1] = 2 * n;
    s.cal[2] = blue;
    s.values[0] = 1000 + n;
    s.values[2] = blue + 5;
    s.in0 = in0;
    s.outputs = static_cast<uint8_t>(n & 0x1F);
    s.output.color = color;
    return s;
}

// The program's reordering of one block.
std::vector<int> Reorder(const ScopeCapture& c, int block, int pre, bool singleShot) {
    std::vector<int> out(128);
    const int start = singleShot ? 0 : (c.RingIndex() + 128 - pre) & 0x7F;
    for (int k = 0; k < 128; ++k) {
        out[k] = c.Sample(block, (start + k) % 128);
    }
    return out;
}

// Feeds scans until the capture completes; returns the scan that completed it.
int RunUntilDone(ScopeCapture* c, int maxScans, int (*blue)(int), bool (*in0)(int) = nullptr) {
    for (int n = 0; n < maxScans; ++n) {
        if (c->OnScan(ScanOf(n, blue(n), in0 != nullptr && in0(n)))) {
            return n;
        }
    }
    return -1;
}

TEST(ScopeCapture, RisingEdgeWithPreTriggerIsInTimeOrderAfterReordering) {
    static int edge;
    for (int pre : {0, 20, 100, 127}) {
        for (int edgeAt : {130, 150, 333}) {
            ScopeCapture c;
            ScopeSettings s;
            s.triggerMode = scope::kRisingEdge;
            s.triggerLevel = 2000;
            s.preTrigger = static_cast<uint16_t>(pre);
            EXPECT_EQ(c.Start(s), 0);
            edge = edgeAt;
            const int done = RunUntilDone(&c, 2000, [](int n) { return n < edge ? 1000 : 3000; });
            ASSERT_EQ(done, edgeAt + 127 - pre) << "pre " << pre << " edge " << edgeAt;
            EXPECT_EQ(c.RingIndex(), edgeAt % 128);
            const std::vector<int> red = Reorder(c, 0, pre, false);
            for (int k = 0; k < 128; ++k) {
                ASSERT_EQ(red[k], edgeAt - pre + k) << "pre " << pre << " edge " << edgeAt;
            }
            EXPECT_EQ(c.GetState(), ScopeCapture::State::Idle);
        }
    }
}

TEST(ScopeCapture, EdgeBeforeThePreTriggerPartIsInIsMissed) {
    ScopeCapture c;
    ScopeSettings s;
    s.triggerMode = scope::kRisingEdge;
    s.triggerLevel = 2000;
    s.preTrigger = 20;
    c.Start(s);
    EXPECT_EQ(RunUntilDone(&c, 2000, [](int n) { return n < 3 ? 1000 : 3000; }), -1);
    EXPECT_EQ(c.GetState(), ScopeCapture::State::Waiting);
}

TEST(ScopeCapture, RingIndexMatchesTheWorkedExample) {
    // PRE-TRIGGER VALUES 20 and ring index 5: the array starts at ring sample 113.
    ScopeCapture c;
    ScopeSettings s;
    s.triggerMode = scope::kFallingEdge;
    s.triggerLevel = 500;
    s.preTrigger = 20;
    c.Start(s);
    // The trigger sample is the 134th one (ring position 133 mod 128 = 5).
    RunUntilDone(&c, 1000, [](int n) { return n < 133 ? 900 : 100; });
    EXPECT_EQ(c.RingIndex(), 5);
    EXPECT_EQ(Reorder(c, 0, 20, false)[0], c.Sample(0, 113));
    EXPECT_EQ(Reorder(c, 0, 20, false)[20], 133);
}

TEST(ScopeCapture, SingleShotScanRateSignalsAndDigitalWord) {
    ScopeCapture c;
    ScopeSettings s;
    s.triggerMode = scope::kSingleShot;
    s.preTrigger = 50; // ignored
    s.scanRate = 3;
    s.recordSignal = scope::kRecordXyInt;
    c.Start(s);
    EXPECT_EQ(RunUntilDone(&c, 1000, [](int n) { return n; }), 3 * 127);
    EXPECT_EQ(c.RingIndex(), 0);
    for (int k = 0; k < 128; ++k) {
        ASSERT_EQ(c.Sample(0, k), 1000 + 3 * k); // X line, every third scan
        ASSERT_EQ(c.Sample(2, k), 3 * k + 5);    // INT line
        ASSERT_EQ(c.Sample(3, k), (3 * k) & 0x1F);
    }
    uint8_t block[scope::kScopeBlockData];
    c.EncodeBlock(0, block);
    EXPECT_EQ(com232::GetU16(block + 2), 1003);
    EXPECT_EQ(com232::GetU16(block + 256), 0);
}

TEST(ScopeCapture, ExternalInputColourZeroAndManualTrigger) {
    ScopeCapture c;
    ScopeSettings s;
    s.triggerMode = scope::kExternalIn0;
    s.preTrigger = 10;
    c.Start(s);
    // IN0 already high at the start is no edge; the edge comes at scan 40.
    int done = RunUntilDone(
        &c, 1000, [](int) { return 0; }, [](int n) { return n < 5 || n >= 40; });
    EXPECT_EQ(done, 40 + 127 - 10);
    EXPECT_EQ(c.Sample(3, c.RingIndex()) & 0x20, 0x20); // IN0 in bit 5

    s.triggerMode = scope::kInternalColor0;
    c.Start(s);
    for (int n = 0; n < 30; ++n) {
        ASSERT_FALSE(c.OnScan(ScanOf(n, 0, false, 3)));
    }
    done = -1;
    for (int n = 30; n < 500 && done < 0; ++n) {
        if (c.OnScan(ScanOf(n, 0, false, 0))) {
            done = n;
        }
    }
    EXPECT_EQ(done, 30 + 117);

    s.triggerMode = scope::kRisingEdge;
    s.triggerLevel = 60000; // never reached
    c.Start(s);
    for (int n = 0; n < 200; ++n) {
        ASSERT_FALSE(c.OnScan(ScanOf(n, 0)));
    }
    c.ForceTrigger();
    done = -1;
    for (int n = 200; n < 500 && done < 0; ++n) {
        if (c.OnScan(ScanOf(n, 0))) {
            done = n;
        }
    }
    EXPECT_EQ(done, 200 + 117);
}

TEST(ScopeCapture, SettingsOutOfRangeAreCorrected) {
    ScopeCapture c;
    ScopeSettings s;
    s.triggerMode = 9;
    s.preTrigger = 500;
    s.scanRate = 0;
    s.recordSignal = 2;
    EXPECT_EQ(c.Start(s), 4);
    EXPECT_EQ(c.Settings().triggerMode, scope::kSingleShot);
    EXPECT_EQ(c.Settings().scanRate, 1);
    c.Break();
    EXPECT_FALSE(c.OnScan(ScanOf(0, 0)));
}

TEST(ScopeDispatcher, AcknowledgmentThenFourBlocksOnceTriggered) {
    simtest::Harness h;
    const simtest::Bytes settings = simtest::Words({2000, scope::kRisingEdge, 30, 2, 0});
    const simtest::Bytes ack = h.AskRaw(com232::kOrderScope, 1, settings);
    EXPECT_EQ(ack, simtest::Request(com232::kOrderScope, 0)); // 8 bytes, no data
    EXPECT_TRUE(h.Run(200000).empty());                       // blue stays at 3000: no edge
    h.d.Core().GetScene().FixColour({1000, 1000, 1000});
    EXPECT_TRUE(h.Run(50000).empty());
    h.d.Core().GetScene().FixColour({1000, 1000, 2500}); // the blue line rises through 2000
    const std::vector<simtest::SentFrame> blocks = h.Run(200000);
    ASSERT_EQ(blocks.size(), 4u);
    int16_t index = -1;
    for (int b = 0; b < 4; ++b) {
        EXPECT_TRUE(blocks[b].unasked);
        ASSERT_EQ(blocks[b].bytes.size(), scope::kScopeBlockFrame);
        const simtest::Decoded f = simtest::Decode(blocks[b].bytes);
        ASSERT_TRUE(f.ok);
        EXPECT_EQ(f.order, com232::kOrderScope);
        EXPECT_EQ(f.param, b);
        const auto i = static_cast<int16_t>(com232::GetU16(f.data.data() + 256));
        EXPECT_TRUE(index < 0 || i == index); // one index for all four blocks
        index = i;
    }
    const simtest::Bytes blue = simtest::Decode(blocks[2].bytes).data;
    const int start = (index + 128 - 30) & 0x7F;
    for (int k = 0; k < 128; ++k) {
        const int v = static_cast<int16_t>(com232::GetU16(blue.data() + 2 * ((start + k) % 128)));
        ASSERT_EQ(v, k < 30 ? 1000 : 2500) << k;
    }
    EXPECT_TRUE(h.Run(200000).empty()); // one capture, one set of blocks
}

TEST(ScopeDispatcher, BreakStopsAWaitingCapture) {
    simtest::Harness h;
    h.Ask(com232::kOrderScope, 1, simtest::Words({0, scope::kExternalIn0, 0, 1, 1}));
    EXPECT_EQ(h.Ask(com232::kOrderScope, 0).order, com232::kOrderScope);
    h.d.Core().SetIn0Mode(1);
    EXPECT_TRUE(h.Run(100000).empty());
    EXPECT_EQ(h.Ask(com232::kOrderScope, 1, simtest::Bytes(4)).param, com232::kErrorCommunication);
    EXPECT_EQ(h.Ask(com232::kOrderScope, 2).param, com232::kErrorInvalidOrder);
}

} // namespace
