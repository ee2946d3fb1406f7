// Sixteen sensors worked on at once in one process, as the command-line
// tool holds a line of them: each by a thread of its own, with its own
// sensor::Sensor whose link blocks on its transport, against its own
// simulated sensor. Each identifies its sensor, writes a parameter set of
// its own and reads it back, takes live frames, records a few triggered
// frames and reads the cycle time, several times over; at the end a
// recording without end is stopped from the test's thread, as the tool
// stops its sensors on Ctrl-C. Built with ThreadSanitizer: state that the
// links or the operations share behind the sensors' backs is a data race,
// and the answers of one sensor ending up with another show in the sets,
// the serial numbers and the frame counts.
#include "link/com232.h"
#include "link/identify.h"
#include "params/parameter_layout.h"
#include "params/transfer_ops.h"
#include "record/record_run.h"
#include "scope/scope_run.h"
#include "sensor/sensor.h"
#include "sim/simulator.h"

#include <gtest/gtest.h>

#include <cstring>
#include <latch>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kSensors = 16;
// Each sensor does its work several times over, so that the threads'
// exchanges interleave in many ways.
constexpr int kRounds = 4;
constexpr int kLiveFrames = 5;
constexpr uint32_t kTriggeredFrames = 3;

// What one sensor's thread found; checked on the test's thread.
struct Findings {
    bool connected = false;
    bool identified = false;
    uint16_t serial = 0;
    int setsAsWritten = 0; // written without a plausibility code and read back as written
    int liveFrames = 0;
    uint32_t triggeredFrames = 0;
    int cycleTimesRead = 0; // 0.25 ms, the simulator's
    bool stoppedFromOutside = false;
    std::string failure; // the link's last failure report
};

// Writes set 0 with values of this sensor and round of its own and reads it
// back; true when it holds them.
bool SetOfItsOwn(com232::SensorLink& link, int sensor, int round) {
    params::ParameterBlockBytes block;
    params::TeachTableBytes table;
    if (!params::ReadParaSet(link, 0, false, &block, &table).ok) {
        return false;
    }
    block.set(params::kPower, static_cast<uint16_t>(400 + 10 * sensor + round));
    table.set(sensor, params::kCell0, static_cast<uint16_t>(1000 + 10 * sensor + round));
    const params::TransferResult w = params::WriteParaSet(link, 0, false, block, table);
    params::ParameterBlockBytes backBlock;
    params::TeachTableBytes backTable;
    return w.ok && w.blockPlausibility == 0 && w.tablePlausibility == 0 &&
           params::ReadParaSet(link, 0, false, &backBlock, &backTable).ok &&
           std::memcmp(backBlock.bytes, block.bytes, sizeof block.bytes) == 0 &&
           std::memcmp(backTable.bytes, table.bytes, sizeof table.bytes) == 0;
}

int LiveFrames(com232::SensorLink& link) {
    int frames = 0;
    for (int i = 0; i < kLiveFrames; ++i) {
        link.FillTxBuf(com232::kOrderLiveData, 0, 0);
        if (link.DataExchange(static_cast<int>(com232::kHeaderSize)) == 1 &&
            link.AnswerLength == live::kLiveFrameSize) {
            ++frames;
        }
    }
    return frames;
}

// A triggered recording of a few frames: the sensor sends one on each
// trigger, and the next trigger is fired once the frame before it is in.
uint32_t TriggeredFrames(com232::SensorLink& link, sim::Simulator& simulator) {
    record::RunCounters counters;
    record::RunHooks hooks;
    hooks.frame = [](const live::LiveDataFrameBytes&) { return true; };
    hooks.counters = [&simulator, &counters] {
        if (counters.runCounter < kTriggeredFrames) {
            simulator.Command("trigger");
        }
    };
    link.LinkOk = 1;
    const bool started = record::RunTriggeredRecording(link, hooks, &counters, kTriggeredFrames);
    record::StopAutoSend(link);
    return started ? static_cast<uint32_t>(counters.runCounter) : 0;
}

// A triggered recording without end, stopped by the test's thread as the
// command-line tool's watcher stops it on Ctrl-C (the link's cancel from
// another thread); then the clean-up reaches the sensor. True when frames
// came until the stop and the sensor acknowledged the end of its sending.
bool RecordingStoppedFromOutside(com232::SensorLink& link, sim::Simulator& simulator,
                                 std::latch& recording) {
    record::RunCounters counters;
    record::RunHooks hooks;
    bool counted = false;
    hooks.frame = [](const live::LiveDataFrameBytes&) { return true; };
    hooks.counters = [&] {
        if (counters.runCounter < 2) {
            simulator.Command("trigger");
        }
        if (counters.runCounter >= 1 && !counted) {
            counted = true;
            recording.count_down(); // frames come: the stop may come now
        }
    };
    link.LinkOk = 1;
    const bool started = record::RunTriggeredRecording(link, hooks, &counters);
    if (!counted) {
        recording.count_down();
    }
    link.ClearCancel();
    link.FillTxBuf(com232::kOrderAutoSend, 0, 0);
    return started && counted && link.DataExchange(static_cast<int>(com232::kHeaderSize)) == 1;
}

void WorkOn(int index, sensor::Sensor& sensor, sim::Simulator& simulator, std::latch& connected,
            std::latch& recording, Findings* f) {
    com232::SensorLink& link = sensor.link;
    const platform::Subscription failures =
        link.failed.Connect([f](const std::string& text) { f->failure = text; });
    link.ComProtocol = com232::kProtocolTcp;
    link.ServerAddress = "127.0.0.1";
    link.ServerPort = simulator.TcpPort();
    link.InitTCP_IP();
    f->connected = link.LinkResult >= 0;
    // Every sensor starts its work when all are connected.
    connected.arrive_and_wait();
    if (!f->connected) {
        recording.count_down();
        return;
    }
    const com232::SensorIdentity id = com232::IdentifySensor(link);
    f->identified = id.answered && id.versionMatches;
    f->serial = id.serialNumber;
    for (int round = 0; round < kRounds; ++round) {
        f->setsAsWritten += SetOfItsOwn(link, index, round) ? 1 : 0;
        f->liveFrames += LiveFrames(link);
        f->triggeredFrames += TriggeredFrames(link, simulator);
        f->cycleTimesRead += scope::ReadCycleTime(link) == 0.25 ? 1 : 0;
    }
    f->stoppedFromOutside = RecordingStoppedFromOutside(link, simulator, recording);
    link.CloseLink();
}

} // namespace

TEST(SensorThreads, SixteenSensorsWorkAtOnceEachOnItsOwn) {
    std::vector<std::unique_ptr<sim::Simulator>> simulators;
    for (int i = 0; i < kSensors; ++i) {
        sim::Options o;
        o.tcpPort = 0;
        o.serialNumber = static_cast<uint16_t>(2001 + i);
        simulators.push_back(std::make_unique<sim::Simulator>(o));
        std::string error;
        ASSERT_TRUE(simulators.back()->Start(&error)) << error;
        // Only the test's triggers send frames: the light barrier stays dark.
        simulators.back()->Command("in0 0");
    }
    // The sensors are made here, as the tool makes them, so that this
    // thread can stop them.
    std::vector<std::unique_ptr<sensor::Sensor>> sensors;
    std::vector<Findings> findings(kSensors);
    std::latch connected(kSensors);
    std::latch recording(kSensors);
    std::vector<std::thread> threads;
    for (int i = 0; i < kSensors; ++i) {
        sensors.push_back(std::make_unique<sensor::Sensor>(com232::WaitPolicy::Block));
        threads.emplace_back(WorkOn, i, std::ref(*sensors[i]), std::ref(*simulators[i]),
                             std::ref(connected), std::ref(recording), &findings[i]);
    }
    recording.wait();
    for (const auto& sensor : sensors) {
        sensor->link.RequestCancel();
        sensor->scan.ScanActive = 0;
    }
    for (std::thread& t : threads) {
        t.join();
    }
    for (int i = 0; i < kSensors; ++i) {
        const Findings& f = findings[i];
        SCOPED_TRACE("sensor " + std::to_string(i) + ": " + f.failure);
        ASSERT_TRUE(f.connected);
        EXPECT_TRUE(f.identified);
        EXPECT_EQ(2001 + i, f.serial);
        EXPECT_EQ(kRounds, f.setsAsWritten);
        EXPECT_EQ(kRounds * kLiveFrames, f.liveFrames);
        EXPECT_EQ(kRounds * kTriggeredFrames, f.triggeredFrames);
        EXPECT_EQ(kRounds, f.cycleTimesRead);
        EXPECT_TRUE(f.stoppedFromOutside);
        EXPECT_NE(std::string::npos, simulators[i]->Command("status").find("auto-send=off"));
    }
}
