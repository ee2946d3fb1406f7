// The order dispatcher of the simulated sensor: one request frame in, the
// answer frame out, plus the frames the sensor sends unasked (automatic
// sending on the trigger, the four scope blocks of a finished capture).
// Transport-free: the server feeds it requests with the time of arrival
// and passes a sink that takes the finished frames.
#pragma once

#include "link/frame.h"
#include "sim/memories.h"
#include "sim/scope_capture.h"
#include "sim/sensor_core.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

// The identification text answered to order 7 unless another is configured.
inline constexpr const char* kDefaultIdentification = "CHROMIK3 V4.3.0  SIMULATED SENSOR";
constexpr size_t kIdentificationSize = 72;
constexpr size_t kHardwareInfoSize = 512;
// Self calibration: the value each calibrated channel is to read, and the
// largest spread of the raw channels the sensor accepts as white.
constexpr uint16_t kSelfCalibSetValue = 3000;
constexpr uint16_t kSelfCalibMaxDelta = 1000;
// Order 105 counts kCycleCountN scans; T = cycle time in microseconds, so
// that T / (N * 0.01) is the cycle time in milliseconds.
constexpr int32_t kCycleCountN = 100000;

// Bits per second of a baud-rate index (any other index: 115200).
int BaudOfIndex(int index);
// Index of a bit rate, or -1 when it is not in the table.
int IndexOfBaud(int baud);

struct DispatcherOptions {
    std::string identification; // empty = kDefaultIdentification
    uint16_t serialNumber = 4711;
    SceneOptions scene;
    double baseCycleUs = 250; // scan time at INTEGRAL 1
    int lineBaud = 0;         // 0 = no line-time model
    std::string eepromFile;   // empty = EEPROM not persisted
};

class FrameSink {
public:
    virtual ~FrameSink() = default;
    // One complete frame for `channel`. `unasked` marks automatic live
    // frames and scope blocks, which follow no request.
    virtual void Send(int channel, const uint8_t* frame, size_t size, bool unasked) = 0;
};

struct ReceivedRequest {
    uint8_t order = 0;
    uint16_t param = 0;
    uint16_t length = 0;
};

class Dispatcher : private ScanObserver {
public:
    explicit Dispatcher(const DispatcherOptions& options);

    // Loads the EEPROM file (or creates it from the factory contents).
    bool Init(std::string* error);

    // A request with good header and data CRC.
    void HandleRequest(int channel, const com232::FrameHeader& header, const uint8_t* data,
                       uint64_t nowUs, FrameSink& sink);
    // A request whose data CRC was wrong or whose announced length is too
    // large: error answer, code 2 (communication error).
    void HandleBadRequest(int channel, const com232::FrameHeader& header, uint64_t nowUs,
                          FrameSink& sink);
    // Runs the sensor up to `nowUs`, sending what it produces unasked.
    void Poll(uint64_t nowUs, FrameSink& sink);
    // When Poll should run next for unasked frames to leave on time
    // (UINT64_MAX: nothing pending).
    uint64_t NextPollUs(uint64_t nowUs) const;
    // The control command `trigger`: an automatic live frame when automatic
    // sending is on, and the trigger of a waiting scope capture.
    void FireTrigger(uint64_t nowUs, FrameSink& sink);
    // The client on `channel` went away: automatic sending and a capture it
    // started end.
    void ChannelClosed(int channel);

    Memories& GetMemories() { return mem_; }
    SensorCore& Core() { return core_; }
    ScopeCapture& Scope() { return scope_; }
    bool AutoSend() const { return autoSend_; }
    // Live frames sent by automatic sending since the start.
    uint64_t AutoSentCount() const { return autoSentCount_; }
    int BaudIndex() const { return baudIndex_; }
    int LineBaud() const { return lineBaud_; } // 0 = no line-time model
    const std::string& PersistError() const { return persistError_; }

    // The requests received, oldest first (the newest kReceivedCapacity).
    std::vector<ReceivedRequest> Received() const;
    void ClearReceived() { receivedCount_ = 0; }
    uint64_t RequestCount() const { return requestCount_; }
    static constexpr size_t kReceivedCapacity = 4096;

    // The factory parameter set: file defaults, the conveyor's colours taught
    // into rows 0..5 (belt first), MAX VEC NO 6.
    static ParameterSet FactorySet();
    static void HardwareInfo(uint16_t serialNumber, uint8_t* out512);

private:
    void OnScan(const ScanResult& scan) override;
    void Log(const com232::FrameHeader& header);
    void Answer(uint8_t order, uint16_t param, const uint8_t* data, uint16_t length);
    void Unasked(int channel, uint8_t order, uint16_t param, const uint8_t* data, uint16_t length);
    void AutoSendLiveFrame();
    void Error(uint16_t code) { Answer(0, code, nullptr, 0); }
    void Persist();

    void WritePara(const com232::FrameHeader& h, const uint8_t* data);
    void ReadPara(const com232::FrameHeader& h);
    void LoadEeprom();
    void WriteCalib(const com232::FrameHeader& h, const uint8_t* data);
    void SelfCalibration();
    void ScopeOrder(const com232::FrameHeader& h, const uint8_t* data);

    DispatcherOptions options_;
    std::string identification_;
    Memories mem_;
    SensorCore core_;
    ScopeCapture scope_;
    bool autoSend_ = false;
    int autoSendChannel_ = -1;
    uint64_t autoSentCount_ = 0;
    int scopeChannel_ = -1;
    bool previousIn0_ = false;
    int baudIndex_ = 4;
    int lineBaud_ = 0;
    std::string persistError_;

    std::vector<ReceivedRequest> received_;
    size_t receivedHead_ = 0; // next slot to write
    size_t receivedCount_ = 0;
    uint64_t requestCount_ = 0;

    // Valid while a request or a poll runs.
    FrameSink* sink_ = nullptr;
    int channel_ = 0;
    uint8_t frame_[com232::kHeaderSize + kHardwareInfoSize];
};

} // namespace sim
