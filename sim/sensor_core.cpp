#include "sim/sensor_core.h"

#include <algorithm>
#include <cmath>

namespace sim {
namespace {

using params::ParameterBlockBytes;
using params::TeachTableBytes;

constexpr uint64_t kMaxCatchUpUs = 1000000; // bridge longer pauses with the last second

int ToInt16(int v) {
    return std::clamp(v, -32768, 32767);
}

} // namespace

SensorCore::SensorCore(Memories* memories, const SceneOptions& scene, double baseCycleUs)
    : mem_(memories), scene_(scene), baseCycleUs_(baseCycleUs < 10 ? 10 : baseCycleUs) {
    last_.temperature = TemperatureAt(0);
}

double SensorCore::CycleUs() const {
    const uint16_t integral = mem_->ram[0].block.get(params::kIntegral);
    return baseCycleUs_ * std::max<uint16_t>(1, integral);
}

int SensorCore::TemperatureAt(uint64_t us) {
    // Warms up from 30.0 to 36.0 degrees with a time constant of 15 minutes,
    // with a slow wobble of +-0.4 degrees over four minutes.
    const double t = static_cast<double>(us) / 1e6;
    const double v = 300 + 60 * (1 - std::exp(-t / 900)) + 4 * std::sin(2 * M_PI * t / 240);
    return static_cast<int>(std::lround(v));
}

void SensorCore::AdvanceTo(uint64_t us, ScanObserver* observer) {
    if (nextScanUs_ + kMaxCatchUpUs < us) {
        const double cycle = CycleUs();
        const auto skipped =
            static_cast<uint64_t>(static_cast<double>(us - kMaxCatchUpUs - nextScanUs_) / cycle);
        scanCount_ += skipped;
        nextScanUs_ += static_cast<uint64_t>(static_cast<double>(skipped) * cycle);
    }
    while (nextScanUs_ <= us) {
        RunScan(nextScanUs_, observer);
        nextScanUs_ += static_cast<uint64_t>(std::max(1.0, std::round(CycleUs())));
    }
}

void SensorCore::RunScan(uint64_t us, ScanObserver* observer) {
    ScanResult r;
    r.scan = scanCount_++;
    r.us = us;
    const ParameterBlockBytes& set0 = mem_->ram[0].block;
    const uint16_t triggerMode = set0.get(params::kTrigger);
    r.in0 = in0Mode_ < 0 ? scene_.LightBarrierAt(us) : in0Mode_ != 0;
    r.activeSet = (triggerMode == params::kTrigPara && r.in0) ? 1 : 0;
    const ParameterBlockBytes& block = mem_->ram[r.activeSet].block;
    const TeachTableBytes& table = mem_->ram[r.activeSet].table;
    const bool dyn = block.get(params::kPowerMode) == params::kPowerDyn &&
                     block.get(params::kLedMode) != params::kLedOff;

    if (dyn && !dynActive_) {
        dynPower_ = std::clamp<double>(block.get(params::kPower), 1, 1000);
    }
    dynActive_ = dyn;

    FrontEndInput in;
    in.colour = scene_.ColourAt(us);
    in.power = dyn ? dynPower_ : std::min<uint16_t>(block.get(params::kPower), 1000);
    in.gain = block.get(params::kGain);
    in.ledMode = block.get(params::kLedMode);
    in.ledOn = !(triggerMode == params::kTrigTrans && !r.in0);
    in.integral = block.get(params::kIntegral);
    for (int c = 0; c < 3; ++c) {
        in.noise[c] = scene_.Noise(r.scan, c);
    }
    double adc[3];
    FrontEnd(in, adc);
    if (dyn) {
        Regulate(adc, block);
    }
    double averaged[3];
    Average(adc, block.get(params::kAverage), averaged);

    for (int c = 0; c < 3; ++c) {
        r.raw[c] = std::max(0, static_cast<int>(std::lround(averaged[c])) - mem_->calib.offset[c]);
        r.cal[c] = Calibrate(r.raw[c], mem_->calib.cf[c]);
    }
    const uint16_t calcMode = block.get(params::kCalculationMode);
    DeriveValues(r.cal, calcMode, r.values);
    r.realIntensity = r.values[2];
    if (dyn) {
        r.values[2] = static_cast<int>(std::lround(dynPower_)); // INT / M shows the power
    }
    r.current = Classify(r.values, r.cal, r.realIntensity, block, table);
    ApplyTrigger(triggerMode, table, block, &r);
    r.outputs = OutputPattern(r.output, block);
    r.temperature = TemperatureAt(us);
    PushExtremes(r.cal);
    last_ = r;
    if (observer != nullptr) {
        observer->OnScan(last_);
    }
}

void SensorCore::Average(const double adc[3], uint16_t average, double out[3]) {
    const int n = std::clamp<int>(average, 1, kAverageRing - 1);
    for (int c = 0; c < 3; ++c) {
        ring_[ringPos_][c] = adc[c];
    }
    ringPos_ = (ringPos_ + 1) % kAverageRing;
    ringFilled_ = std::min(ringFilled_ + 1, kAverageRing);
    const int use = std::min(n, ringFilled_);
    if (use == 1) {
        for (int c = 0; c < 3; ++c) {
            avgSum_[c] = adc[c];
        }
    } else if (use != avgN_ + 1 && use != avgN_) {
        // Window length changed: sum the newest `use` entries afresh.
        avgSum_[0] = avgSum_[1] = avgSum_[2] = 0;
        for (int k = 1; k <= use; ++k) {
            const auto& e = ring_[(ringPos_ - k + kAverageRing) % kAverageRing];
            for (int c = 0; c < 3; ++c) {
                avgSum_[c] += e[c];
            }
        }
    } else {
        for (int c = 0; c < 3; ++c) {
            avgSum_[c] += adc[c];
        }
        if (use == avgN_) {
            // The window slides: the entry `use` scans back leaves it.
            const auto& gone = ring_[(ringPos_ - use - 1 + 2 * kAverageRing) % kAverageRing];
            for (int c = 0; c < 3; ++c) {
                avgSum_[c] -= gone[c];
            }
        }
    }
    avgN_ = use;
    for (int c = 0; c < 3; ++c) {
        out[c] = avgSum_[c] / use;
    }
}

void SensorCore::Regulate(const double adc[3], const ParameterBlockBytes& block) {
    // Keeps the brightest channel within DYN WIN LO..HI by scaling the power.
    const double lo = block.get(params::kDynWinLo);
    const double hi = std::max<double>(lo, block.get(params::kDynWinHi));
    const double peak = std::max({adc[0], adc[1], adc[2], 1.0});
    if (peak >= lo && peak <= hi) {
        return;
    }
    const double wanted = dynPower_ * ((lo + hi) / 2) / peak;
    dynPower_ = std::clamp(dynPower_ + 0.5 * (wanted - dynPower_), 1.0, 1000.0);
}

void SensorCore::ApplyTrigger(uint16_t triggerMode, const TeachTableBytes& table,
                              const ParameterBlockBytes& block, ScanResult* r) {
    r->output = r->current;
    r->triggered = r->in0;
    if (triggerMode != params::kTrigSelf &&
        (triggerMode < params::kTrigExt1 || triggerMode > params::kTrigExt3)) {
        wasActive_ = false;
        everTriggered_ = false;
        return; // CONT, TRANS, PARA: continuous detection
    }
    const bool active = triggerMode == params::kTrigSelf ? r->current.color != 0 : r->in0;
    r->triggered = active;
    if (active) {
        if (!wasActive_) {
            histogram_.fill(0);
        }
        ++histogram_[r->current.color & 0xFF];
        lastActive_ = r->current;
    } else if (wasActive_) {
        everTriggered_ = true;
        Classification held;
        if (triggerMode == params::kTrigExt2) {
            held = lastActive_;
        } else if (triggerMode != params::kTrigExt3) {
            const auto it = std::max_element(histogram_.begin(), histogram_.end());
            held.color = static_cast<int>(it - histogram_.begin());
            if (held.color < params::kTeachRows && block.get(params::kColorGroup) == 1) {
                held.group = table.get(held.color, params::kGroup);
            }
        }
        held_ = held;
    }
    wasActive_ = active;
    if (!active) {
        if (everTriggered_) {
            r->output.color = held_.color;
            r->output.group = held_.group;
            if (held_.color == 255) {
                r->output.deltaC = -1;
            }
        } else if (triggerMode != params::kTrigSelf) {
            r->output = Classification{}; // EXT modes before the first trigger: fail state
        }
    }
}

void SensorCore::PushExtremes(const int cal[3]) {
    for (int c = 0; c < 3; ++c) {
        if (curCount_ == 0 || cal[c] < curMin_[c]) {
            curMin_[c] = cal[c];
        }
        if (curCount_ == 0 || cal[c] > curMax_[c]) {
            curMax_[c] = cal[c];
        }
    }
    if (++curCount_ == kExtremeBlockScans) {
        for (int c = 0; c < 3; ++c) {
            blockMin_[blockPos_][c] = curMin_[c];
            blockMax_[blockPos_][c] = curMax_[c];
        }
        blockPos_ = (blockPos_ + 1) % kExtremeBlocks;
        blocksFilled_ = std::min(blocksFilled_ + 1, kExtremeBlocks);
        curCount_ = 0;
    }
}

void SensorCore::Extremes(int minimum[3], int maximum[3]) const {
    for (int c = 0; c < 3; ++c) {
        minimum[c] = curCount_ > 0 ? curMin_[c] : last_.cal[c];
        maximum[c] = curCount_ > 0 ? curMax_[c] : last_.cal[c];
        for (int b = 0; b < blocksFilled_; ++b) {
            minimum[c] = std::min(minimum[c], blockMin_[b][c]);
            maximum[c] = std::max(maximum[c], blockMax_[b][c]);
        }
    }
}

void SensorCore::DarkSignal(uint16_t out[3]) const {
    const double gain = GainFactor(mem_->ram[0].block.get(params::kGain));
    for (int c = 0; c < 3; ++c) {
        out[c] = static_cast<uint16_t>(std::lround(kDarkLevel[c] * gain));
    }
}

live::LiveDataFrameBytes SensorCore::LiveFrame() const {
    live::LiveDataFrameBytes f;
    const ScanResult& r = last_;
    for (int c = 0; c < 3; ++c) {
        f.set(static_cast<live::LiveField>(live::kRed + c), static_cast<int16_t>(r.cal[c]));
        f.set(static_cast<live::LiveField>(live::kX + c),
              static_cast<int16_t>(ToInt16(r.values[c])));
        f.set(static_cast<live::LiveField>(live::kRawRed + c), static_cast<int16_t>(r.raw[c]));
    }
    f.set(live::kDeltaC, static_cast<int16_t>(r.output.deltaC));
    f.set(live::kColor, static_cast<int16_t>(r.output.color));
    f.set(live::kGroup, static_cast<int16_t>(r.output.group));
    f.set(live::kTrigger, r.triggered ? 1 : 0);
    f.set(live::kTemp, static_cast<int16_t>(r.temperature));
    int minimum[3];
    int maximum[3];
    Extremes(minimum, maximum);
    for (int c = 0; c < 3; ++c) {
        f.set(static_cast<live::LiveField>(live::kExtreme1Red + c),
              static_cast<int16_t>(minimum[c]));
        f.set(static_cast<live::LiveField>(live::kExtreme2Red + c),
              static_cast<int16_t>(maximum[c]));
    }
    return f;
}

} // namespace sim
