// The service side of the simulator: a poll loop on its own thread that
// serves one TCP client at a time on loopback and/or a pseudo-terminal,
// feeds the requests to the dispatcher, and sends the answers on time: at
// once, after the faults' delays and pauses, or at the pace of the modelled
// serial line. Control commands arrive through Command() or a control socket.
#pragma once

#include "sim/control.h"
#include "sim/dispatcher.h"
#include "sim/fault_plan.h"
#include "sim/request_parser.h"
#include "sim/simulator.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <string>
#include <termios.h>
#include <thread>
#include <vector>

namespace sim {

// The termios speed of a baud rate of the sensor; B0 for any other rate.
speed_t TermiosSpeed(int baud);

class Server : public FrameSink, public ControlContext, private RequestHandler {
public:
    explicit Server(const Options& options);
    ~Server() override;

    bool Start(std::string* error);
    void Stop();
    std::string Command(const std::string& line);

    uint16_t TcpPort() const { return tcpPort_; }
    std::string PtyPath() const { return ptyPath_; }
    uint16_t ControlPort() const { return controlPort_; }

    static constexpr int kTcpChannel = 0;
    static constexpr int kPtyChannel = 1;

private:
    struct Chunk {
        uint64_t dueUs = 0;
        std::vector<uint8_t> bytes;
        size_t sent = 0;
        bool close = false; // close the connection when this chunk is reached
    };
    struct Channel {
        int fd = -1;
        bool tcp = true;
        RequestParser parser;
        std::deque<Chunk> queue;
        size_t queuedBytes = 0;
        uint64_t lineFreeUs = 0; // the modelled line is busy sending until then
        uint64_t lastRxUs = 0;
        bool blocked = false; // the last write would have blocked
    };
    struct ControlConn {
        int fd = -1;
        std::string in;
        std::string out;
    };

    // FrameSink
    void Send(int channel, const uint8_t* frame, size_t size, bool unasked) override;
    // ControlContext
    Dispatcher& GetDispatcher() override { return dispatcher_; }
    FaultPlan& Faults() override { return faults_; }
    uint64_t NowUs() override;
    FrameSink& Sink() override { return *this; }
    bool CloseClient() override;
    std::string TransportStatus() override;
    // RequestHandler
    void OnRequest(const com232::FrameHeader& header, const uint8_t* data) override;
    void OnBadRequest(const com232::FrameHeader& header) override;

    bool OpenTcp(std::string* error);
    bool OpenPty(std::string* error);
    bool OpenControl(std::string* error);
    void Loop();
    void Wake();
    void AcceptClient();
    void ReadChannel(int channel);
    bool AtWrongRate(const Channel& ch);
    void FlushChannel(int channel);
    void CloseChannel(int channel);
    void AcceptControl();
    void ServeControl(ControlConn& conn, bool readable);
    void Enqueue(Channel& ch, uint64_t dueUs, const uint8_t* bytes, size_t size, bool close);
    uint64_t NextDueUs() const;

    Options options_;
    Dispatcher dispatcher_;
    FaultPlan faults_;
    std::mutex mutex_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    bool started_ = false;
    std::chrono::steady_clock::time_point start_;

    int wakeFd_ = -1;
    int listenFd_ = -1;
    uint16_t tcpPort_ = 0;
    int ptySlave_ = -1;
    std::string ptyPath_;
    int controlFd_ = -1;
    uint16_t controlPort_ = 0;
    std::vector<ControlConn> controls_;
    Channel channels_[2];

    // The request being handled.
    int currentChannel_ = 0;
    uint64_t now_ = 0;
    uint64_t requestDoneUs_ = 0; // when the request would have arrived on the modelled line
    uint64_t random_ = 0x9E3779B97F4A7C15ULL;
    uint64_t droppedFrames_ = 0;  // frames not sent because the client did not read
    uint64_t wrongRateBytes_ = 0; // bytes sent to the pseudo-terminal at another rate
    uint8_t rx_[4096];
};

} // namespace sim
