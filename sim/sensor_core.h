// The running sensor: scans the scene at its cycle time, one scan after the
// other, with the state that carries from scan to scan (AVERAGE, the DYN
// power regulation, the trigger modes with their held colours, the sliding
// minimum/maximum window, the temperature drift). Time is given from outside
// in microseconds since start, so tests step it exactly.
#pragma once

#include "live/live_frame.h"
#include "sim/memories.h"
#include "sim/scene.h"
#include "sim/sensor_model.h"

#include <array>
#include <cstdint>

namespace sim {

struct ScanResult {
    uint64_t scan = 0;
    uint64_t us = 0;
    int activeSet = 0;      // 1 while TRIGGER PARA and IN0 high
    int raw[3] = {0, 0, 0}; // averaged, minus the offsets
    int cal[3] = {0, 0, 0};
    int values[3] = {0, 0, 0}; // X Y INT or s i M as sent (INT/M = power in DYN)
    int realIntensity = 0;     // INT or M from the signal (compared with INTLIM)
    Classification current;    // this scan's classification
    Classification output;     // after the trigger mode (held colours)
    bool triggered = false;
    bool in0 = false;
    int temperature = 0; // 0.1 degrees Celsius
    uint8_t outputs = 0; // OUT0..OUT4
    // Digital word of the scope: bits 0..4 OUT0..OUT4, bit 5 IN0.
    uint16_t DigitalWord() const { return static_cast<uint16_t>(outputs | (in0 ? 0x20 : 0)); }
};

class ScanObserver {
public:
    virtual ~ScanObserver() = default;
    virtual void OnScan(const ScanResult& scan) = 0;
};

class SensorCore {
public:
    // Scans run every baseCycleUs * max(1, INTEGRAL) microseconds.
    SensorCore(Memories* memories, const SceneOptions& scene, double baseCycleUs);

    // Runs every scan due at or before `us`; a long pause is bridged by
    // running only the last second of scans.
    void AdvanceTo(uint64_t us, ScanObserver* observer);
    const ScanResult& Last() const { return last_; }
    live::LiveDataFrameBytes LiveFrame() const;
    // Minimum (first) and maximum (second) calibrated triple over the last
    // kExtremeBlocks * kExtremeBlockScans scans.
    void Extremes(int minimum[3], int maximum[3]) const;

    double CycleUs() const;
    double BaseCycleUs() const { return baseCycleUs_; }
    Scene& GetScene() { return scene_; }
    const Scene& GetScene() const { return scene_; }

    // IN0: -1 follows the light barrier, 0 or 1 forces the level.
    void SetIn0Mode(int mode) { in0Mode_ = mode; }
    int In0Mode() const { return in0Mode_; }

    // Dark signal of the receiver at the current gain (what order 100 measures).
    void DarkSignal(uint16_t out[3]) const;

    static int TemperatureAt(uint64_t us);

    static constexpr int kExtremeBlockScans = 64;
    static constexpr int kExtremeBlocks = 16;

private:
    void RunScan(uint64_t us, ScanObserver* observer);
    void Average(const double adc[3], uint16_t average, double out[3]);
    void ApplyTrigger(uint16_t triggerMode, const params::TeachTableBytes& table,
                      const params::ParameterBlockBytes& block, ScanResult* r);
    void Regulate(const double adc[3], const params::ParameterBlockBytes& block);
    void PushExtremes(const int cal[3]);

    Memories* mem_;
    Scene scene_;
    double baseCycleUs_;
    uint64_t nextScanUs_ = 0;
    uint64_t scanCount_ = 0;
    int in0Mode_ = -1;
    ScanResult last_;

    // AVERAGE: ring of the last ADC triples and the sum of the newest `avgN_`.
    static constexpr int kAverageRing = 1024;
    std::array<std::array<double, 3>, kAverageRing> ring_{};
    int ringPos_ = 0;
    int ringFilled_ = 0;
    int avgN_ = 0;
    double avgSum_[3] = {0, 0, 0};

    // DYN power regulation.
    bool dynActive_ = false;
    double dynPower_ = 500;

    // Trigger modes SELF, EXT1..EXT3.
    bool wasActive_ = false;
    bool everTriggered_ = false;
    std::array<uint32_t, 256> histogram_{};
    Classification lastActive_;
    Classification held_;

    // Extremes: per-block minimum and maximum, plus the block being filled.
    int blockMin_[kExtremeBlocks][3] = {};
    int blockMax_[kExtremeBlocks][3] = {};
    int blocksFilled_ = 0;
    int blockPos_ = 0;
    int curMin_[3] = {0, 0, 0};
    int curMax_[3] = {0, 0, 0};
    int curCount_ = 0;
};

} // namespace sim
