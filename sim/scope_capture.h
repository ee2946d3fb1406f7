// The scope capture of the simulated sensor: a ring buffer of 128 samples
// of three analogue lines and the digital word, filled every SCAN RATE-th
// scan from the start of the capture, with the trigger accepted once the
// PRE-TRIGGER VALUES samples are in. The ring index sent with each block is
// the position of the trigger sample, so the samples in time order start at
// (index + 128 - PRE-TRIGGER VALUES) mod 128. SINGLE SHOT fills the ring
// from position 0 at once and sends index 0.
#pragma once

#include "scope/scope_wire.h"
#include "sim/sensor_core.h"

#include <array>
#include <cstdint>

namespace sim {

struct ScopeSettings {
    uint16_t triggerLevel = 0;
    uint16_t triggerMode = scope::kSingleShot;
    uint16_t preTrigger = 0;
    uint16_t scanRate = 1;
    uint16_t recordSignal = scope::kRecordRgb;
};

class ScopeCapture {
public:
    enum class State { Idle, Waiting, Collecting };

    // Starts a capture; settings out of range are corrected (mode above 4 to
    // SINGLE SHOT, PRE-TRIGGER VALUES above 127 to 127, SCAN RATE 0 to 1,
    // RECORD SIGNAL above 1 to 0). Returns how many were corrected.
    int Start(const ScopeSettings& settings);
    void Break() { state_ = State::Idle; }
    // A manual trigger: accepted at the next sample once the pre-trigger part is in.
    void ForceTrigger() { forced_ = state_ == State::Waiting; }
    // Takes one scan; true when this scan completed the capture.
    bool OnScan(const ScanResult& scan);

    State GetState() const { return state_; }
    const ScopeSettings& Settings() const { return settings_; }
    int RingIndex() const { return triggerIndex_; }
    // Block 0..3 (red line, green line, blue line, digital word): 128 samples
    // as the ring holds them, then the ring index; 258 bytes.
    void EncodeBlock(int block, uint8_t* out) const;
    int16_t Sample(int block, int position) const { return ring_[block][position]; }

private:
    bool TriggerCondition(const ScanResult& scan, int16_t blue) const;

    State state_ = State::Idle;
    ScopeSettings settings_;
    std::array<std::array<int16_t, scope::kScopeSamples>, scope::kScopeBlocks> ring_{};
    uint32_t scansSinceStart_ = 0;
    int writePos_ = 0;
    int stored_ = 0;
    int triggerIndex_ = 0;
    int remaining_ = 0;
    bool havePrevious_ = false;
    int16_t previousBlue_ = 0;
    bool previousIn0_ = false;
    bool forced_ = false;
};

} // namespace sim
