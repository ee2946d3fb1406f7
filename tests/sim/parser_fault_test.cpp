// Request stream parsing (garbage, split reads, bad CRCs, oversized
// lengths) and the fault plan: parsing, matching, counting, and what each
// fault does to a frame.
#include "sim/fault_plan.h"
#include "sim/request_parser.h"
#include "sim_test_util.h"

namespace {

using simtest::Bytes;

struct Collect : sim::RequestHandler {
    void OnRequest(const com232::FrameHeader& h, const uint8_t* data) override {
        good.push_back({h.order, h.param, h.length});
        lastData.assign(data, data + h.length);
    }
    void OnBadRequest(const com232::FrameHeader& h) override {
        bad.push_back({h.order, h.param, h.length});
    }
    std::vector<sim::ReceivedRequest> good;
    std::vector<sim::ReceivedRequest> bad;
    Bytes lastData;
};

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

TEST(RequestParser, ResynchronisesOnGarbage) {
    sim::RequestParser p;
    Collect c;
    // Garbage with start bytes that do not begin a good header, then two requests.
    const Bytes garbage = {0x55, 0x55, 0x01, 0x02, 0x55, 0x08, 0x00,
                           0x00, 0x00, 0x00, 0xAA, 0x00, 0x13};
    const Bytes stream =
        Cat({garbage, simtest::Request(8), simtest::Request(1, 2, Bytes(496, 7)), {0x55}});
    p.Feed(stream.data(), stream.size(), c);
    ASSERT_EQ(c.good.size(), 2u);
    EXPECT_EQ(c.good[0].order, 8);
    EXPECT_EQ(c.good[1].length, 496);
    EXPECT_EQ(c.lastData, Bytes(496, 7));
    EXPECT_EQ(p.DiscardedBytes(), garbage.size());
    EXPECT_TRUE(p.HasPartial()); // the trailing start byte waits for more
}

TEST(RequestParser, RequestsSplitAcrossReadsAndManyInOneRead) {
    sim::RequestParser p;
    Collect c;
    const Bytes req = simtest::Request(1, 0, Bytes(34, 0x5A));
    for (uint8_t b : req) {
        p.Feed(&b, 1, c); // byte by byte
    }
    ASSERT_EQ(c.good.size(), 1u);
    Bytes many;
    for (int i = 0; i < 200; ++i) {
        const Bytes r = simtest::Request(7, static_cast<uint16_t>(i));
        many.insert(many.end(), r.begin(), r.end());
    }
    p.Feed(many.data(), many.size(), c); // more than the parser's buffer at once
    ASSERT_EQ(c.good.size(), 201u);
    EXPECT_EQ(c.good.back().param, 199);
    EXPECT_FALSE(p.HasPartial());
}

TEST(RequestParser, BadDataCrcAndOversizedLengthAreReported) {
    sim::RequestParser p;
    Collect c;
    Bytes bad = simtest::Request(101, 0, simtest::Words({1, 2, 3}));
    bad[10] ^= 1; // a data byte
    // A header announcing 600 data bytes: refused, and its 600 bytes are not awaited.
    Bytes big(8);
    com232::EncodeHeader(1, 0, 600, 0x12, big.data());
    const Bytes stream = Cat({bad, big, simtest::Request(8)});
    p.Feed(stream.data(), stream.size(), c);
    ASSERT_EQ(c.bad.size(), 2u);
    EXPECT_EQ(c.bad[0].order, 101);
    EXPECT_EQ(c.bad[1].length, 600);
    ASSERT_EQ(c.good.size(), 1u);
    EXPECT_EQ(c.good[0].order, 8);
    // The largest accepted request fills the buffer exactly.
    p.Feed(simtest::Request(1, 2, Bytes(512, 1)).data(), 520, c);
    EXPECT_EQ(c.good.back().length, 512);
}

TEST(FaultPlan, ParsingAndOptions) {
    sim::Fault f;
    std::string error;
    ASSERT_TRUE(sim::ParseFault("delay-header 2900 order=7", &f, &error));
    EXPECT_EQ(f.kind, sim::FaultKind::DelayHeader);
    EXPECT_EQ(f.a, 2900u);
    EXPECT_EQ(f.order, 7);
    EXPECT_EQ(f.count, 1u);
    ASSERT_TRUE(sim::ParseFault(" split 5 20 count=0 skip=2", &f, &error));
    EXPECT_EQ(f.b, 20u);
    EXPECT_EQ(f.count, 0u);
    EXPECT_EQ(f.skip, 2u);
    EXPECT_EQ(sim::DescribeFault(f), "split 5 20 count=0 skip=2");
    for (const char* badSpec : {"", "explode", "delay-header", "delay-header -5", "error x",
                                "split 0 10", "drop order=300", "drop colour=2", "drop count"}) {
        EXPECT_FALSE(sim::ParseFault(badSpec, &f, &error)) << badSpec;
        EXPECT_FALSE(error.empty());
    }
}

TEST(FaultPlan, OrderCountSkipAndOneReplacementAtATime) {
    sim::FaultPlan plan;
    sim::Fault f;
    std::string e;
    sim::ParseFault("drop order=8 count=2 skip=1", &f, &e);
    plan.Add(f);
    sim::ParseFault("error 3", &f, &e);
    plan.Add(f);
    sim::ParseFault("corrupt-data count=0", &f, &e);
    plan.Add(f);

    sim::AppliedFaults a = plan.Take(7); // not order 8: the error and the corruption
    EXPECT_FALSE(a.drop);
    EXPECT_EQ(a.errorCode, 3);
    EXPECT_TRUE(a.corruptData);
    a = plan.Take(8); // skipped once
    EXPECT_FALSE(a.drop);
    a = plan.Take(8);
    EXPECT_TRUE(a.drop);
    a = plan.Take(8);
    EXPECT_TRUE(a.drop);
    a = plan.Take(8);
    EXPECT_FALSE(a.drop);
    EXPECT_TRUE(a.corruptData); // until cleared
    EXPECT_EQ(plan.Faults().size(), 1u);

    sim::FaultPlan two;
    sim::ParseFault("garbage 4", &f, &e);
    two.Add(f);
    sim::ParseFault("close", &f, &e);
    two.Add(f);
    a = two.Take(1);
    EXPECT_EQ(a.garbage, 4);
    EXPECT_FALSE(a.close); // waits for the next frame
    EXPECT_TRUE(two.Take(1).close);
    EXPECT_TRUE(two.Empty());
}

TEST(FaultPlan, WhatEachFaultDoesToAFrame) {
    const Bytes frame = simtest::Request(8, 0, Bytes(40, 0x11));
    uint64_t rnd = 12345;
    sim::AppliedFaults a;
    a.corruptHeader = true;
    sim::FaultedFrame out = sim::ApplyFaults(frame.data(), frame.size(), a, &rnd);
    com232::FrameHeader h;
    EXPECT_FALSE(com232::DecodeHeader(out.bytes.data(), &h));

    a = {};
    a.corruptData = true;
    out = sim::ApplyFaults(frame.data(), frame.size(), a, &rnd);
    const simtest::Decoded d = simtest::Decode(out.bytes);
    EXPECT_EQ(d.order, 8);
    EXPECT_FALSE(d.ok); // header good, data CRC wrong

    a = {};
    a.errorCode = 2;
    out = sim::ApplyFaults(frame.data(), frame.size(), a, &rnd);
    EXPECT_EQ(out.bytes, (Bytes{0x55, 0x00, 0x02, 0x00, 0x00, 0x00, 0xAA, 0x54}));

    a = {};
    a.oversize = 3000;
    out = sim::ApplyFaults(frame.data(), frame.size(), a, &rnd);
    ASSERT_EQ(out.bytes.size(), 3008u);
    const simtest::Decoded big = simtest::Decode(out.bytes);
    EXPECT_TRUE(big.ok);
    EXPECT_EQ(big.data.size(), 3000u);

    a = {};
    a.garbage = 17;
    out = sim::ApplyFaults(frame.data(), frame.size(), a, &rnd);
    EXPECT_EQ(out.bytes.size(), 17u);

    a = {};
    a.drop = true;
    out = sim::ApplyFaults(frame.data(), frame.size(), a, &rnd);
    EXPECT_TRUE(out.bytes.empty());
    EXPECT_FALSE(out.closeConnection);
    a = {};
    a.close = true;
    EXPECT_TRUE(sim::ApplyFaults(frame.data(), frame.size(), a, &rnd).closeConnection);
}

TEST(FaultPlan, CutAndGarbageBeforeTheAnswer) {
    sim::Fault f;
    std::string error;
    ASSERT_TRUE(sim::ParseFault("cut 20 order=2", &f, &error));
    EXPECT_EQ(f.kind, sim::FaultKind::Cut);
    EXPECT_EQ(sim::DescribeFault(f), "cut 20 order=2 count=1");
    ASSERT_TRUE(sim::ParseFault("garbage-before 5 skip=1", &f, &error));
    EXPECT_EQ(f.kind, sim::FaultKind::GarbageBefore);
    EXPECT_EQ(f.a, 5u);
    for (const char* badSpec : {"cut", "cut -1", "garbage-before", "garbage-before 2000000"}) {
        EXPECT_FALSE(sim::ParseFault(badSpec, &f, &error)) << badSpec;
    }
    EXPECT_NE(sim::FaultUsage().find("garbage-before N"), std::string::npos);

    // Neither replaces the answer: both apply together with an error answer.
    sim::FaultPlan plan;
    for (const char* spec : {"error 2", "cut 30", "cut 12", "garbage-before 3"}) {
        ASSERT_TRUE(sim::ParseFault(spec, &f, &error));
        plan.Add(f);
    }
    const sim::AppliedFaults a = plan.Take(8);
    EXPECT_EQ(a.errorCode, 2);
    EXPECT_EQ(a.cut, 12); // the shorter cut
    EXPECT_EQ(a.garbageBefore, 3u);
    EXPECT_TRUE(plan.Empty());

    const Bytes frame = simtest::Request(8, 0, Bytes(40, 0x11));
    uint64_t rnd = 99;
    sim::AppliedFaults cut;
    cut.cut = 20;
    sim::FaultedFrame out = sim::ApplyFaults(frame.data(), frame.size(), cut, &rnd);
    EXPECT_EQ(out.bytes, Bytes(frame.begin(), frame.begin() + 20));
    cut.cut = 500; // beyond the answer: all of it
    EXPECT_EQ(sim::ApplyFaults(frame.data(), frame.size(), cut, &rnd).bytes, frame);

    sim::AppliedFaults before;
    before.garbageBefore = 7;
    before.delayDataMs = 30;
    out = sim::ApplyFaults(frame.data(), frame.size(), before, &rnd);
    ASSERT_EQ(out.bytes.size(), 7 + frame.size());
    EXPECT_EQ(Bytes(out.bytes.begin() + 7, out.bytes.end()), frame);
    // Garbage and header on time, the data 30 ms later.
    ASSERT_EQ(out.pieces.size(), 2u);
    EXPECT_EQ(out.pieces[0].size, 15u);
    EXPECT_EQ(out.pieces[1].offset, 15u);
    EXPECT_EQ(out.pieces[1].delayUs, 30000u);

    // A corrupted header cut after six bytes, behind two random ones.
    sim::AppliedFaults both;
    both.corruptHeader = true;
    both.cut = 6;
    both.garbageBefore = 2;
    out = sim::ApplyFaults(frame.data(), frame.size(), both, &rnd);
    ASSERT_EQ(out.bytes.size(), 8u);
    EXPECT_EQ(Bytes(out.bytes.begin() + 2, out.bytes.end()),
              Bytes(frame.begin(), frame.begin() + 6));
}

TEST(FaultPlan, DelaysAndSplitPieces) {
    const Bytes frame = simtest::Request(8, 0, Bytes(40, 0x11));
    uint64_t rnd = 1;
    sim::AppliedFaults a;
    a.delayHeaderMs = 100;
    a.delayDataMs = 50;
    a.splitBytes = 20;
    a.splitMs = 10;
    const sim::FaultedFrame out = sim::ApplyFaults(frame.data(), frame.size(), a, &rnd);
    EXPECT_EQ(out.bytes, frame);
    // Header at 100 ms, then the data 50 ms later in pieces of 20, 10 ms apart.
    ASSERT_EQ(out.pieces.size(), 3u);
    EXPECT_EQ(out.pieces[0].size, 8u);
    EXPECT_EQ(out.pieces[0].delayUs, 100000u);
    EXPECT_EQ(out.pieces[1].offset, 8u);
    EXPECT_EQ(out.pieces[1].size, 20u);
    EXPECT_EQ(out.pieces[1].delayUs, 150000u);
    EXPECT_EQ(out.pieces[2].size, 20u);
    EXPECT_EQ(out.pieces[2].delayUs, 160000u);
}

} // namespace
