#include "sim/dispatcher.h"

#include "calib/calib_wire.h"
#include "link/crc8.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unistd.h>

namespace sim {
namespace {

using com232::FrameHeader;

constexpr int kBaudTable[8] = {9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600};

} // namespace

int BaudOfIndex(int index) {
    return index >= 0 && index < 8 ? kBaudTable[index] : 115200;
}

int IndexOfBaud(int baud) {
    for (int i = 0; i < 8; ++i) {
        if (kBaudTable[i] == baud) {
            return i;
        }
    }
    return -1;
}

ParameterSet Dispatcher::FactorySet() {
    ParameterSet set;
    set.block = params::DefaultParameterBlock();
    const auto& colours = ConveyorColours();
    set.block.set(params::kMaxVecNo, static_cast<uint16_t>(colours.size()));
    // Six taught colours need the binary output: the direct modes serve five rows.
    set.block.set(params::kDigitalOutmode, params::kOutBinary);
    // Groups: belt 0, warm colours (red, yellow) 1, cold ones (green, blue) 2, white 3.
    static const uint16_t kGroups[] = {0, 1, 2, 2, 1, 3};
    for (int row = 0; row < params::kTeachRows; ++row) {
        for (int f = params::kCell0; f <= params::kCell4; ++f) {
            set.table.set(row, static_cast<params::TeachField>(f), params::kDefaultCell);
        }
        set.table.set(row, params::kGroup, params::kDefaultGroup);
        set.table.set(row, params::kHold, params::kDefaultHold);
        set.table.set(row, params::kReserved, static_cast<uint16_t>(0xA500 | row));
    }
    for (size_t row = 0; row < colours.size(); ++row) {
        const Rgb& c = colours[row].rgb;
        const int cal[3] = {static_cast<int>(c.r), static_cast<int>(c.g), static_cast<int>(c.b)};
        int v[3];
        DeriveValues(cal, params::kXyInt2D, v);
        const int r = static_cast<int>(row);
        set.table.set(r, params::kCell0, static_cast<uint16_t>(v[0]));
        set.table.set(r, params::kCell1, static_cast<uint16_t>(v[1]));
        set.table.set(r, params::kCell2, 60); // CTO
        set.table.set(r, params::kCell3, static_cast<uint16_t>(v[2]));
        set.table.set(r, params::kCell4, 400); // ITO
        set.table.set(r, params::kGroup, kGroups[row % 6]);
    }
    return set;
}

void Dispatcher::HardwareInfo(uint16_t serialNumber, uint8_t* out) {
    // Word 0 layout version, 1 serial number, 2 hardware revision 3.4,
    // 3 firmware 4.3, 4 ADC bits, 5 channels, 6..8 dark level at GAIN 5,
    // 9 scan time at INTEGRAL 1 in microseconds, 16..31 the text
    // "SIMULATED COLOUR SENSOR" (two characters a word, low byte first,
    // zero padded), words 32..255 their own index.
    uint16_t w[256] = {};
    w[0] = 1;
    w[1] = serialNumber;
    w[2] = 0x0304;
    w[3] = 0x0403;
    w[4] = 12;
    w[5] = 3;
    for (int c = 0; c < 3; ++c) {
        w[6 + c] = static_cast<uint16_t>(kDarkLevel[c]);
    }
    w[9] = 250;
    const char* text = "SIMULATED COLOUR SENSOR";
    const size_t n = std::strlen(text);
    for (size_t i = 0; i < n; ++i) {
        w[16 + i / 2] =
            static_cast<uint16_t>(w[16 + i / 2] | (static_cast<uint8_t>(text[i]) << (8 * (i % 2))));
    }
    for (int i = 32; i < 256; ++i) {
        w[i] = static_cast<uint16_t>(i);
    }
    for (int i = 0; i < 256; ++i) {
        com232::PutU16(out + 2 * i, w[i]);
    }
}

Dispatcher::Dispatcher(const DispatcherOptions& options)
    : options_(options), core_(&mem_, options.scene, options.baseCycleUs),
      received_(kReceivedCapacity) {
    identification_ =
        options_.identification.empty() ? kDefaultIdentification : options_.identification;
    if (identification_.size() > kIdentificationSize) {
        identification_.resize(kIdentificationSize);
    }
    const ParameterSet factory = FactorySet();
    for (int s = 0; s < kParameterSets; ++s) {
        mem_.ram[s] = factory;
        mem_.eeprom[s] = factory;
    }
    core_.DarkSignal(mem_.calib.offset); // factory offsets cancel the dark signal
    lineBaud_ = options_.lineBaud;
    const int index = IndexOfBaud(options_.lineBaud);
    baudIndex_ = index >= 0 ? index : 4;
}

bool Dispatcher::Init(std::string* error) {
    if (options_.eepromFile.empty()) {
        return true;
    }
    if (access(options_.eepromFile.c_str(), F_OK) != 0) {
        return mem_.SaveEepromFile(options_.eepromFile, error);
    }
    if (!mem_.LoadEepromFile(options_.eepromFile, error)) {
        return false;
    }
    for (int s = 0; s < kParameterSets; ++s) {
        mem_.ram[s] = mem_.eeprom[s]; // the sensor starts from its EEPROM
    }
    return true;
}

void Dispatcher::Persist() {
    if (!options_.eepromFile.empty() && !mem_.SaveEepromFile(options_.eepromFile, &persistError_)) {
        return;
    }
    persistError_.clear();
}

void Dispatcher::Log(const FrameHeader& header) {
    ++requestCount_;
    received_[receivedHead_] = {header.order, header.param, header.length};
    receivedHead_ = (receivedHead_ + 1) % kReceivedCapacity;
    receivedCount_ = std::min(receivedCount_ + 1, kReceivedCapacity);
}

std::vector<ReceivedRequest> Dispatcher::Received() const {
    std::vector<ReceivedRequest> out;
    out.reserve(receivedCount_);
    for (size_t k = receivedCount_; k > 0; --k) {
        out.push_back(received_[(receivedHead_ + kReceivedCapacity - k) % kReceivedCapacity]);
    }
    return out;
}

void Dispatcher::Answer(uint8_t order, uint16_t param, const uint8_t* data, uint16_t length) {
    const size_t size = com232::EncodeFrame(order, param, data, length, frame_);
    sink_->Send(channel_, frame_, size, false);
}

void Dispatcher::Unasked(int channel, uint8_t order, uint16_t param, const uint8_t* data,
                         uint16_t length) {
    if (sink_ == nullptr || channel < 0) {
        return;
    }
    const size_t size = com232::EncodeFrame(order, param, data, length, frame_);
    sink_->Send(channel, frame_, size, true);
}

void Dispatcher::AutoSendLiveFrame() {
    if (sink_ == nullptr || autoSendChannel_ < 0) {
        return;
    }
    const live::LiveDataFrameBytes f = core_.LiveFrame();
    Unasked(autoSendChannel_, com232::kOrderLiveData, 0, f.bytes, live::kLiveFrameSize);
    ++autoSentCount_;
}

void Dispatcher::OnScan(const ScanResult& scan) {
    if (scope_.OnScan(scan)) {
        uint8_t block[scope::kScopeBlockData];
        for (int b = 0; b < scope::kScopeBlocks; ++b) {
            scope_.EncodeBlock(b, block);
            Unasked(scopeChannel_, com232::kOrderScope, static_cast<uint16_t>(b), block,
                    scope::kScopeBlockData);
        }
    }
    if (autoSend_ && scan.in0 && !previousIn0_) {
        AutoSendLiveFrame();
    }
    previousIn0_ = scan.in0;
}

void Dispatcher::Poll(uint64_t nowUs, FrameSink& sink) {
    sink_ = &sink;
    core_.AdvanceTo(nowUs, this);
    sink_ = nullptr;
}

uint64_t Dispatcher::NextPollUs(uint64_t nowUs) const {
    if (scope_.GetState() != ScopeCapture::State::Idle || autoSend_) {
        return nowUs + 1000;
    }
    return UINT64_MAX;
}

void Dispatcher::FireTrigger(uint64_t nowUs, FrameSink& sink) {
    sink_ = &sink;
    core_.AdvanceTo(nowUs, this);
    if (autoSend_) {
        AutoSendLiveFrame();
    }
    scope_.ForceTrigger();
    sink_ = nullptr;
}

void Dispatcher::ChannelClosed(int channel) {
    if (autoSendChannel_ == channel) {
        autoSend_ = false;
        autoSendChannel_ = -1;
    }
    if (scopeChannel_ == channel) {
        scope_.Break();
        scopeChannel_ = -1;
    }
}

void Dispatcher::HandleBadRequest(int channel, const FrameHeader& header, uint64_t nowUs,
                                  FrameSink& sink) {
    (void)nowUs;
    Log(header);
    sink_ = &sink;
    channel_ = channel;
    Error(com232::kErrorCommunication);
    sink_ = nullptr;
}

void Dispatcher::HandleRequest(int channel, const FrameHeader& h, const uint8_t* data,
                               uint64_t nowUs, FrameSink& sink) {
    Log(h);
    sink_ = &sink;
    channel_ = channel;
    core_.AdvanceTo(nowUs, this);
    switch (h.order) {
    case com232::kOrderWritePara:
        WritePara(h, data);
        break;
    case com232::kOrderReadPara:
        ReadPara(h);
        break;
    case com232::kOrderStoreEeprom:
        for (int s = 0; s < kParameterSets; ++s) {
            mem_.eeprom[s] = mem_.ram[s];
        }
        Persist();
        Answer(h.order, 0, nullptr, 0);
        break;
    case com232::kOrderLoadEeprom:
        LoadEeprom();
        break;
    case com232::kOrderIdentify: {
        uint8_t text[kIdentificationSize] = {};
        std::memcpy(text, identification_.data(), identification_.size());
        Answer(h.order, options_.serialNumber, text, kIdentificationSize);
        break;
    }
    case com232::kOrderLiveData: {
        const live::LiveDataFrameBytes f = core_.LiveFrame();
        Answer(h.order, 0, f.bytes, live::kLiveFrameSize);
        break;
    }
    case com232::kOrderAutoSend:
        autoSend_ = h.param != 0;
        autoSendChannel_ = autoSend_ ? channel : -1;
        previousIn0_ = core_.Last().in0; // only edges from now on fire
        Answer(h.order, 0, nullptr, 0);
        break;
    case com232::kOrderCalcOffset:
        core_.DarkSignal(mem_.calib.offset);
        Persist();
        Answer(h.order, 0, nullptr, 0);
        break;
    case com232::kOrderWriteCalib:
        WriteCalib(h, data);
        break;
    case com232::kOrderReadCalib: {
        uint8_t out[calib::kReadCalibSize];
        for (int c = 0; c < 3; ++c) {
            com232::PutU16(out + 2 * c, mem_.calib.cf[c]);
            com232::PutU16(out + 6 + 2 * c, mem_.calib.offset[c]);
        }
        Answer(h.order, 0, out, calib::kReadCalibSize);
        break;
    }
    case com232::kOrderSelfCalib:
        SelfCalibration();
        break;
    case com232::kOrderCycleTime: {
        uint8_t out[scope::kCycleTimeAnswerSize];
        com232::PutI32(out, static_cast<int32_t>(std::lround(core_.CycleUs())));
        com232::PutI32(out + 4, kCycleCountN);
        Answer(h.order, 0, out, sizeof out);
        break;
    }
    case com232::kOrderScope:
        ScopeOrder(h, data);
        break;
    case com232::kOrderBaudrate:
        // Answered at the old rate; the line switches afterwards.
        Answer(h.order, h.param, nullptr, 0);
        baudIndex_ = h.param < 8 ? h.param : 4;
        if (lineBaud_ != 0) {
            lineBaud_ = BaudOfIndex(baudIndex_);
        }
        break;
    case com232::kOrderHardwareInfo:
        if (h.param != com232::kHardwareInfoKey) {
            Error(com232::kErrorInvalidOrder);
        } else {
            uint8_t out[kHardwareInfoSize];
            HardwareInfo(options_.serialNumber, out);
            Answer(h.order, 0, out, kHardwareInfoSize);
        }
        break;
    default:
        Error(com232::kErrorInvalidOrder);
        break;
    }
    sink_ = nullptr;
}

void Dispatcher::WritePara(const FrameHeader& h, const uint8_t* data) {
    if (h.param > 3) {
        Error(com232::kErrorInvalidOrder);
        return;
    }
    ParameterSet& set = mem_.ram[h.param % 2];
    int code = 0;
    if (h.param < 2) {
        if (h.length != params::kParameterBlockSize) {
            Error(com232::kErrorCommunication);
            return;
        }
        params::ParameterBlockBytes block;
        std::memcpy(block.bytes, data, params::kParameterBlockSize);
        code = CheckParameterBlock(&block);
        set.block = block;
    } else {
        if (h.length != params::kTeachTableSize) {
            Error(com232::kErrorCommunication);
            return;
        }
        params::TeachTableBytes table;
        std::memcpy(table.bytes, data, params::kTeachTableSize);
        code = CheckTeachTable(&table);
        set.table = table;
    }
    Answer(h.order, static_cast<uint16_t>(code), nullptr, 0);
}

void Dispatcher::ReadPara(const FrameHeader& h) {
    if (h.param > 3) {
        Error(com232::kErrorInvalidOrder);
        return;
    }
    const ParameterSet& set = mem_.ram[h.param % 2];
    if (h.param < 2) {
        Answer(h.order, 0, set.block.bytes, params::kParameterBlockSize);
    } else {
        Answer(h.order, 0, set.table.bytes, params::kTeachTableSize);
    }
}

void Dispatcher::LoadEeprom() {
    int code = 0;
    for (int s = 0; s < kParameterSets; ++s) {
        code += CheckParameterBlock(&mem_.eeprom[s].block);
        code += CheckTeachTable(&mem_.eeprom[s].table);
        mem_.ram[s] = mem_.eeprom[s];
    }
    if (code != 0) {
        Persist(); // the defaults replace the bad values in the EEPROM as well
    }
    Answer(com232::kOrderLoadEeprom, static_cast<uint16_t>(code), nullptr, 0);
}

void Dispatcher::WriteCalib(const FrameHeader& h, const uint8_t* data) {
    if (h.param > calib::kWriteCalibOffsets) {
        Error(com232::kErrorInvalidOrder);
        return;
    }
    if (h.length != calib::kWriteCalibSize) {
        Error(com232::kErrorCommunication);
        return;
    }
    uint16_t v[3];
    for (int c = 0; c < 3; ++c) {
        v[c] = com232::GetU16(data + 2 * c);
    }
    int code = 0;
    if (h.param == calib::kWriteCalibFactors) {
        code = CheckCalibrationFactors(v);
        std::memcpy(mem_.calib.cf, v, sizeof v);
    } else {
        code = CheckOffsets(v);
        std::memcpy(mem_.calib.offset, v, sizeof v);
    }
    Persist();
    Answer(h.order, static_cast<uint16_t>(code), nullptr, 0);
}

void Dispatcher::SelfCalibration() {
    // Factors that bring the current raw values to kSelfCalibSetValue; a
    // factor above 4096 is not possible, that channel keeps its factor and
    // the answer's parameter word counts it.
    uint8_t out[calib::kSelfCalibSize];
    int refused = 0;
    for (int c = 0; c < 3; ++c) {
        const int raw = std::max(1, core_.Last().raw[c]);
        uint32_t cf = static_cast<uint32_t>(kSelfCalibSetValue) * 1024 / static_cast<uint32_t>(raw);
        if (cf > calib::kMaxCf) {
            cf = mem_.calib.cf[c];
            ++refused;
        }
        com232::PutU16(out + 2 * c, static_cast<uint16_t>(cf));
    }
    com232::PutU16(out + 6, kSelfCalibSetValue);
    com232::PutU16(out + 8, kSelfCalibMaxDelta);
    Answer(com232::kOrderSelfCalib, static_cast<uint16_t>(refused), out, calib::kSelfCalibSize);
}

void Dispatcher::ScopeOrder(const FrameHeader& h, const uint8_t* data) {
    if (h.param == 0) {
        scope_.Break();
        scopeChannel_ = -1;
        Answer(h.order, 0, nullptr, 0);
        return;
    }
    if (h.param != 1) {
        Error(com232::kErrorInvalidOrder);
        return;
    }
    if (h.length != scope::kScopeSettingsSize) {
        Error(com232::kErrorCommunication);
        return;
    }
    ScopeSettings s;
    s.triggerLevel = com232::GetU16(data + 2 * scope::kTriggerLevel);
    s.triggerMode = com232::GetU16(data + 2 * scope::kTriggerMode);
    s.preTrigger = com232::GetU16(data + 2 * scope::kPreTriggerValues);
    s.scanRate = com232::GetU16(data + 2 * scope::kScanRate);
    s.recordSignal = com232::GetU16(data + 2 * scope::kRecordSignal);
    const int corrected = scope_.Start(s);
    scopeChannel_ = channel_;
    // The acknowledgment goes out before any block.
    Answer(h.order, static_cast<uint16_t>(corrected), nullptr, 0);
}

} // namespace sim
