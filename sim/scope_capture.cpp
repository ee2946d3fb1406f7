#include "sim/scope_capture.h"

#include "link/frame.h"

#include <algorithm>

namespace sim {

int ScopeCapture::Start(const ScopeSettings& settings) {
    int corrected = 0;
    settings_ = settings;
    if (settings_.triggerMode > scope::kExternalIn0) {
        settings_.triggerMode = scope::kSingleShot;
        ++corrected;
    }
    if (settings_.preTrigger > scope::kScopeSamples - 1) {
        settings_.preTrigger = scope::kScopeSamples - 1;
        ++corrected;
    }
    if (settings_.scanRate == 0) {
        settings_.scanRate = 1;
        ++corrected;
    }
    if (settings_.recordSignal > scope::kRecordXyInt) {
        settings_.recordSignal = scope::kRecordRgb;
        ++corrected;
    }
    if (settings_.triggerMode == scope::kSingleShot) {
        settings_.preTrigger = 0; // the ring is filled from position 0 at once
    }
    for (auto& block : ring_) {
        block.fill(0);
    }
    state_ = State::Waiting;
    scansSinceStart_ = 0;
    writePos_ = 0;
    stored_ = 0;
    triggerIndex_ = 0;
    remaining_ = 0;
    havePrevious_ = false;
    forced_ = false;
    return corrected;
}

bool ScopeCapture::TriggerCondition(const ScanResult& scan, int16_t blue) const {
    if (forced_) {
        return true;
    }
    switch (settings_.triggerMode) {
    case scope::kSingleShot:
        return true;
    case scope::kRisingEdge:
        return havePrevious_ && previousBlue_ <= settings_.triggerLevel &&
               blue > settings_.triggerLevel;
    case scope::kFallingEdge:
        return havePrevious_ && previousBlue_ >= settings_.triggerLevel &&
               blue < settings_.triggerLevel;
    case scope::kInternalColor0:
        return scan.output.color == 0;
    case scope::kExternalIn0:
        return havePrevious_ && !previousIn0_ && scan.in0;
    default:
        return false;
    }
}

bool ScopeCapture::OnScan(const ScanResult& scan) {
    if (state_ == State::Idle) {
        return false;
    }
    const bool sampleNow = scansSinceStart_ % settings_.scanRate == 0;
    ++scansSinceStart_;
    if (!sampleNow) {
        return false;
    }
    const int* analogue = settings_.recordSignal == scope::kRecordXyInt ? scan.values : scan.cal;
    const auto blue = static_cast<int16_t>(std::clamp(analogue[2], -32768, 32767));
    const bool trigger =
        state_ == State::Waiting && stored_ >= settings_.preTrigger && TriggerCondition(scan, blue);
    for (int line = 0; line < 3; ++line) {
        ring_[line][writePos_] = static_cast<int16_t>(std::clamp(analogue[line], -32768, 32767));
    }
    ring_[3][writePos_] = static_cast<int16_t>(scan.DigitalWord());
    previousBlue_ = blue;
    previousIn0_ = scan.in0;
    havePrevious_ = true;

    if (trigger) {
        state_ = State::Collecting;
        forced_ = false;
        triggerIndex_ = writePos_;
        remaining_ = scope::kScopeSamples - settings_.preTrigger - 1;
    } else if (state_ == State::Collecting) {
        --remaining_;
    }
    writePos_ = (writePos_ + 1) % scope::kScopeSamples;
    stored_ = std::min(stored_ + 1, scope::kScopeSamples);
    if (state_ == State::Collecting && remaining_ == 0) {
        state_ = State::Idle;
        return true;
    }
    return false;
}

void ScopeCapture::EncodeBlock(int block, uint8_t* out) const {
    for (int k = 0; k < scope::kScopeSamples; ++k) {
        com232::PutU16(out + 2 * k, static_cast<uint16_t>(ring_[block][k]));
    }
    com232::PutU16(out + 2 * scope::kScopeSamples, static_cast<uint16_t>(triggerIndex_));
}

} // namespace sim
