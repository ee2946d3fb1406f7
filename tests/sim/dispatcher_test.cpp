// The order dispatcher frame by frame: exact answer bytes for fixed cases,
// the parameter and calibration round trips, the plausibility codes, the
// EEPROM, cycle time, baud-rate change and automatic sending.
#include "sim_test_util.h"

#include "link/sensor_id.h"
#include "params/parameter_layout.h"

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace {

using simtest::Bytes;
using simtest::Harness;

TEST(DispatcherBytes, IdentifyAnswersSerialNumberAndVersionText) {
    Harness h;
    const Bytes a = h.AskRaw(com232::kOrderIdentify);
    ASSERT_EQ(a.size(), 8u + 72u);
    const Bytes header(a.begin(), a.begin() + 8);
    EXPECT_EQ(header, (Bytes{0x55, 0x07, 0x67, 0x12, 0x48, 0x00, 0x12, 0xC9}));
    const std::string text(reinterpret_cast<const char*>(a.data() + 8));
    EXPECT_EQ(text, "CHROMIK3 V4.3.0  SIMULATED SENSOR");
    EXPECT_EQ(com232::SplitSensorId(text).Version(), "CHROMIK3 V4.3");
    EXPECT_EQ(com232::SplitSensorId(text).Display(), "CHROMIK3 V4.3 SIMULATED SENSOR");
    for (size_t i = 8 + text.size(); i < a.size(); ++i) {
        ASSERT_EQ(a[i], 0) << i;
    }
}

TEST(DispatcherBytes, OtherFirmwareVersionOnRequest) {
    sim::DispatcherOptions o = Harness::Quiet();
    o.identification = "CHROMIK3 V4.2.7  OLD SENSOR";
    o.serialNumber = 12;
    Harness h(o);
    const simtest::Decoded a = h.Ask(com232::kOrderIdentify);
    EXPECT_EQ(a.param, 12);
    EXPECT_EQ(com232::SplitSensorId(reinterpret_cast<const char*>(a.data.data())).Version(),
              "CHROMIK3 V4.2");
}

TEST(DispatcherBytes, LiveDataOfAFixedSceneWithoutNoise) {
    Harness h; // 1000 2000 3000, factory parameters, t = 0
    const Bytes expected = {0x55, 0x08, 0x00, 0x00, 0x28, 0x00, 0x72, 0x52, 0xE8, 0x03, 0xD0, 0x07,
                            0xB8, 0x0B, 0xA7, 0x00, 0x4D, 0x01, 0xD0, 0x07, 0xFF, 0xFF, 0xFF, 0x00,
                            0xFF, 0x00, 0x00, 0x00, 0x2C, 0x01, 0xE8, 0x03, 0xD0, 0x07, 0xB8, 0x0B,
                            0xE8, 0x03, 0xD0, 0x07, 0xB8, 0x0B, 0xE8, 0x03, 0xD0, 0x07, 0xB8, 0x0B};
    EXPECT_EQ(h.AskRaw(com232::kOrderLiveData), expected);
}

TEST(DispatcherBytes, ErrorAnswersForUnknownOrdersAndAWrongKey) {
    Harness h;
    const Bytes invalid = {0x55, 0x00, 0x01, 0x00, 0x00, 0x00, 0xAA, 0x1A};
    EXPECT_EQ(h.AskRaw(99), invalid);
    EXPECT_EQ(h.AskRaw(0), invalid);
    EXPECT_EQ(h.AskRaw(com232::kOrderHardwareInfo, 0x4E20), invalid);
    const simtest::Decoded info = h.Ask(com232::kOrderHardwareInfo, com232::kHardwareInfoKey);
    ASSERT_TRUE(info.ok);
    EXPECT_EQ(info.order, com232::kOrderHardwareInfo);
    ASSERT_EQ(info.data.size(), 512u);
    EXPECT_EQ(com232::GetU16(info.data.data() + 2), 4711); // word 1: serial number
    EXPECT_EQ(com232::GetU16(info.data.data() + 2 * 200), 200);
}

TEST(DispatcherBytes, BadRequestGetsCommunicationError) {
    Harness h;
    com232::FrameHeader hdr;
    hdr.order = com232::kOrderWritePara;
    hdr.length = 34;
    h.d.HandleBadRequest(0, hdr, 0, h.sink);
    ASSERT_EQ(h.sink.frames.size(), 1u);
    EXPECT_EQ(h.sink.frames[0].bytes, (Bytes{0x55, 0x00, 0x02, 0x00, 0x00, 0x00, 0xAA, 0x54}));
}

Bytes BlockBytes(const params::ParameterBlockBytes& b) {
    return Bytes(b.bytes, b.bytes + 34);
}

TEST(DispatcherParams, BothSetsRoundTripByteForByteIncludingReserved) {
    Harness h;
    params::ParameterBlockBytes block = params::DefaultParameterBlock();
    block.set(params::kPower, 777);
    block.set(params::kTrigger, params::kTrigPara);
    block.set(params::kIntegral, 250);
    params::TeachTableBytes table;
    for (size_t i = 0; i < params::kTeachTableSize; ++i) {
        table.bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    }
    for (int row = 0; row < params::kTeachRows; ++row) {
        table.set(row, params::kGroup, static_cast<uint16_t>(row)); // 0..30 are valid
        table.set(row, params::kReserved, static_cast<uint16_t>(0xBEEF - row));
    }
    const Bytes set0Block = h.Ask(com232::kOrderReadPara, 0).data;

    simtest::Decoded a = h.Ask(com232::kOrderWritePara, 1, BlockBytes(block));
    EXPECT_EQ(a.order, com232::kOrderWritePara);
    EXPECT_EQ(a.param, 0);
    a = h.Ask(com232::kOrderWritePara, 3, Bytes(table.bytes, table.bytes + 496));
    EXPECT_EQ(a.param, 0);

    EXPECT_EQ(h.Ask(com232::kOrderReadPara, 1).data, BlockBytes(block));
    EXPECT_EQ(h.Ask(com232::kOrderReadPara, 3).data, Bytes(table.bytes, table.bytes + 496));
    EXPECT_EQ(h.Ask(com232::kOrderReadPara, 0).data, set0Block); // set 0 untouched
    const Bytes factoryTable = h.Ask(com232::kOrderReadPara, 2).data;
    ASSERT_EQ(factoryTable.size(), 496u);
    EXPECT_EQ(com232::GetU16(factoryTable.data() + 16 * 5 + 14), 0xA505); // reserved of row 5
}

TEST(DispatcherParams, PlausibilityCountsAndReplacesOutOfRangeFields) {
    Harness h;
    params::ParameterBlockBytes block = params::DefaultParameterBlock();
    block.set(params::kPower, 1001);
    block.set(params::kMaxVecNo, 32);
    block.set(params::kGain, 8);
    block.set(params::kEvaluationMode, 5);
    block.set(params::kDynWinHi, 3999); // in range, kept
    EXPECT_EQ(h.Ask(com232::kOrderWritePara, 0, BlockBytes(block)).param, 4);
    const Bytes back = h.Ask(com232::kOrderReadPara, 0).data;
    EXPECT_EQ(com232::GetU16(back.data() + 2 * params::kPower), 500);
    EXPECT_EQ(com232::GetU16(back.data() + 2 * params::kMaxVecNo), 1);
    EXPECT_EQ(com232::GetU16(back.data() + 2 * params::kGain), 5);
    EXPECT_EQ(com232::GetU16(back.data() + 2 * params::kEvaluationMode), 1);
    EXPECT_EQ(com232::GetU16(back.data() + 2 * params::kDynWinHi), 3999);

    params::TeachTableBytes table;
    table.set(4, params::kGroup, 31);
    table.set(30, params::kGroup, 40);
    table.set(7, params::kGroup, 30);
    EXPECT_EQ(h.Ask(com232::kOrderWritePara, 2, Bytes(table.bytes, table.bytes + 496)).param, 2);
    const Bytes t = h.Ask(com232::kOrderReadPara, 2).data;
    EXPECT_EQ(com232::GetU16(t.data() + 16 * 4 + 10), 0);
    EXPECT_EQ(com232::GetU16(t.data() + 16 * 30 + 10), 0);
    EXPECT_EQ(com232::GetU16(t.data() + 16 * 7 + 10), 30);

    // A block of the wrong length is a communication error; set 4 does not exist.
    EXPECT_EQ(h.Ask(com232::kOrderWritePara, 0, Bytes(33)).param, com232::kErrorCommunication);
    EXPECT_EQ(h.Ask(com232::kOrderWritePara, 2, Bytes(34)).order, 0);
    EXPECT_EQ(h.Ask(com232::kOrderReadPara, 4).param, com232::kErrorInvalidOrder);
}

TEST(DispatcherParams, EepromStoreLoadAndFilePersistence) {
    char path[] = "/tmp/c3sim_eeprom_XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    std::remove(path); // Init creates it with the factory contents
    sim::DispatcherOptions o = Harness::Quiet();
    o.eepromFile = path;
    params::ParameterBlockBytes block = params::DefaultParameterBlock();
    block.set(params::kPower, 321);
    {
        Harness h(o);
        std::string error;
        ASSERT_TRUE(h.d.Init(&error)) << error;
        h.Ask(com232::kOrderWritePara, 0, BlockBytes(block));
        EXPECT_EQ(h.Ask(com232::kOrderStoreEeprom).order, com232::kOrderStoreEeprom);
        block.set(params::kPower, 999);
        h.Ask(com232::kOrderWritePara, 0, BlockBytes(block)); // RAM only
        EXPECT_EQ(h.Ask(com232::kOrderLoadEeprom).param, 0);
        EXPECT_EQ(com232::GetU16(h.Ask(com232::kOrderReadPara, 0).data.data()), 321);
        h.Ask(com232::kOrderWriteCalib, 0, simtest::Words({1100, 1200, 1300}));
    }
    {
        Harness h(o); // a new run starts from the file
        std::string error;
        ASSERT_TRUE(h.d.Init(&error)) << error;
        EXPECT_EQ(com232::GetU16(h.Ask(com232::kOrderReadPara, 0).data.data()), 321);
        EXPECT_EQ(h.Ask(com232::kOrderReadCalib).data,
                  simtest::Words({1100, 1200, 1300, 48, 40, 56}));
    }
    {
        // A damaged image: POWER 2000 in set 1 and a group 99 in set 0.
        std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(8 + 530 + 2 * params::kPower);
        f.put(static_cast<char>(0xD0)).put(0x07);
        f.seekp(8 + 34 + 16 * 3 + 10);
        f.put(99).put(0);
    }
    {
        Harness h(o);
        std::string error;
        ASSERT_TRUE(h.d.Init(&error)) << error;
        EXPECT_EQ(h.Ask(com232::kOrderLoadEeprom).param, 2);
        EXPECT_EQ(com232::GetU16(h.Ask(com232::kOrderReadPara, 1).data.data()), 500);
        EXPECT_EQ(h.Ask(com232::kOrderLoadEeprom).param, 0); // repaired in the EEPROM too
    }
    {
        std::ofstream(path, std::ios::binary) << "not an image";
        Harness h(o);
        std::string error;
        EXPECT_FALSE(h.d.Init(&error));
        EXPECT_NE(error.find("not an EEPROM image"), std::string::npos);
    }
    std::remove(path);
}

TEST(DispatcherCalibration, FactorsOffsetsAndPlausibility) {
    Harness h;
    EXPECT_EQ(h.Ask(com232::kOrderReadCalib).data, simtest::Words({1024, 1024, 1024, 48, 40, 56}));
    EXPECT_EQ(h.Ask(com232::kOrderWriteCalib, 0, simtest::Words({512, 2048, 4096})).param, 0);
    EXPECT_EQ(h.Ask(com232::kOrderWriteCalib, 1, simtest::Words({0, 4095, 10})).param, 0);
    EXPECT_EQ(h.Ask(com232::kOrderReadCalib).data, simtest::Words({512, 2048, 4096, 0, 4095, 10}));

    EXPECT_EQ(h.Ask(com232::kOrderWriteCalib, 0, simtest::Words({5000, 1024, 4097})).param, 2);
    EXPECT_EQ(h.Ask(com232::kOrderWriteCalib, 1, simtest::Words({4096, 48, 56})).param, 1);
    EXPECT_EQ(h.Ask(com232::kOrderReadCalib).data, simtest::Words({1024, 1024, 1024, 0, 48, 56}));
    EXPECT_EQ(h.Ask(com232::kOrderWriteCalib, 2, simtest::Words({1, 2, 3})).param,
              com232::kErrorInvalidOrder);
    EXPECT_EQ(h.Ask(com232::kOrderWriteCalib, 0, Bytes(4)).param, com232::kErrorCommunication);

    // Order 100 measures the dark signal at the current gain (AMP8: twice GAIN 5).
    params::ParameterBlockBytes block = params::DefaultParameterBlock();
    block.set(params::kGain, 7);
    h.Ask(com232::kOrderWritePara, 0, BlockBytes(block));
    EXPECT_EQ(h.Ask(com232::kOrderCalcOffset, 1).order, com232::kOrderCalcOffset);
    EXPECT_EQ(h.Ask(com232::kOrderReadCalib).data, simtest::Words({1024, 1024, 1024, 96, 80, 112}));
}

TEST(DispatcherCalibration, CalibratedValuesFollowTheFactors) {
    Harness h;
    h.Ask(com232::kOrderWriteCalib, 0, simtest::Words({2048, 512, 1365}));
    h.now += 1000;
    const live::LiveDataFrameBytes f = [&] {
        live::LiveDataFrameBytes b;
        const Bytes d = h.Ask(com232::kOrderLiveData).data;
        std::copy(d.begin(), d.end(), b.bytes);
        return b;
    }();
    EXPECT_EQ(f.get(live::kRawRed), 1000);
    EXPECT_EQ(f.get(live::kRed), 2000);
    EXPECT_EQ(f.get(live::kGreen), 1000);
    EXPECT_EQ(f.get(live::kBlue), 3000 * 1365 / 1024);
}

TEST(DispatcherCalibration, SelfCalibrationBringsChannelsToTheSetValue) {
    Harness h;
    EXPECT_EQ(h.Ask(com232::kOrderSelfCalib).data, simtest::Words({3072, 1536, 1024, 3000, 1000}));
    h.d.Core().GetScene().FixColour({500, 2000, 3000});
    h.now += 1000;
    const simtest::Decoded a = h.Ask(com232::kOrderSelfCalib);
    EXPECT_EQ(a.param, 1); // 6144 is out of range: RED keeps its factor
    EXPECT_EQ(a.data, simtest::Words({1024, 1536, 1024, 3000, 1000}));
}

TEST(DispatcherOrders, CycleTimeBaudRateAndAcknowledgments) {
    Harness h;
    Bytes t = h.Ask(com232::kOrderCycleTime).data;
    EXPECT_EQ(com232::GetI32(t.data()), 250);
    EXPECT_EQ(com232::GetI32(t.data() + 4), 100000); // T / (N * 0.01) = 0.25 ms
    params::ParameterBlockBytes block = params::DefaultParameterBlock();
    block.set(params::kIntegral, 4);
    h.Ask(com232::kOrderWritePara, 0, BlockBytes(block));
    t = h.Ask(com232::kOrderCycleTime).data;
    EXPECT_EQ(com232::GetI32(t.data()), 1000);

    const simtest::Decoded b = h.Ask(com232::kOrderBaudrate, 2);
    EXPECT_EQ(b.order, com232::kOrderBaudrate);
    EXPECT_EQ(h.d.BaudIndex(), 2);
    EXPECT_EQ(h.d.LineBaud(), 0); // no line model: stays off

    sim::DispatcherOptions o = Harness::Quiet();
    o.lineBaud = 115200;
    Harness m(o);
    EXPECT_EQ(m.d.BaudIndex(), 4);
    m.Ask(com232::kOrderBaudrate, 7);
    EXPECT_EQ(m.d.LineBaud(), 921600);
    m.Ask(com232::kOrderBaudrate, 12); // unknown index: 115200
    EXPECT_EQ(m.d.LineBaud(), 115200);
}

TEST(DispatcherOrders, AutomaticSendingOnTheTrigger) {
    Harness h;
    EXPECT_EQ(h.Ask(com232::kOrderAutoSend, 1).order, com232::kOrderAutoSend);
    EXPECT_TRUE(h.Run(20000).empty()); // nothing without a trigger
    h.d.Core().SetIn0Mode(1);
    std::vector<simtest::SentFrame> sent = h.Run(1000);
    ASSERT_EQ(sent.size(), 1u); // one frame on the rising edge of IN0, not one per scan
    EXPECT_TRUE(sent[0].unasked);
    const simtest::Decoded f = simtest::Decode(sent[0].bytes);
    ASSERT_TRUE(f.ok);
    EXPECT_EQ(f.data.size(), 40u);
    EXPECT_EQ(com232::GetU16(f.data.data() + 2 * live::kTrigger), 1);
    EXPECT_TRUE(h.Run(20000).empty());

    h.sink.frames.clear();
    h.d.FireTrigger(h.now, h.sink);
    EXPECT_EQ(h.sink.frames.size(), 1u);
    EXPECT_EQ(h.d.AutoSentCount(), 2u); // the edge and the trigger command

    h.Ask(com232::kOrderAutoSend, 0);
    h.d.Core().SetIn0Mode(0);
    h.Run(1000);
    h.d.Core().SetIn0Mode(1);
    EXPECT_TRUE(h.Run(1000).empty());

    h.Ask(com232::kOrderAutoSend, 1);
    h.d.ChannelClosed(0); // the client went away: sending stops
    h.d.Core().SetIn0Mode(0);
    h.Run(1000);
    h.d.Core().SetIn0Mode(1);
    EXPECT_TRUE(h.Run(1000).empty());
    EXPECT_FALSE(h.d.AutoSend());
    EXPECT_EQ(h.d.AutoSentCount(), 2u); // frames not sent are not counted
}

TEST(DispatcherOrders, ReceivedLogKeepsOrderParamAndLength) {
    Harness h;
    h.Ask(com232::kOrderIdentify);
    h.Ask(com232::kOrderWritePara, 1, Bytes(34));
    h.Ask(200, 5);
    const std::vector<sim::ReceivedRequest> r = h.d.Received();
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[1].order, 1);
    EXPECT_EQ(r[1].param, 1);
    EXPECT_EQ(r[1].length, 34);
    EXPECT_EQ(r[2].order, 200);
    h.d.ClearReceived();
    EXPECT_TRUE(h.d.Received().empty());
}

} // namespace
