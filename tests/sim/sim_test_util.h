// Helpers of the simulated-sensor tests: request frames, a sink that keeps
// what the dispatcher sends, a dispatcher harness with its own clock, and a
// blocking TCP client with time-outs.
#pragma once

#include "link/crc8.h"
#include "link/frame.h"
#include "sim/dispatcher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace simtest {

using Bytes = std::vector<uint8_t>;

Bytes Request(uint8_t order, uint16_t param = 0, const Bytes& data = {});

struct Decoded {
    bool ok = false; // header and data CRC good, length as announced
    uint8_t order = 0;
    uint16_t param = 0;
    Bytes data;
};
Decoded Decode(const Bytes& frame);

Bytes Words(std::initializer_list<uint16_t> words);

struct SentFrame {
    int channel = 0;
    Bytes bytes;
    bool unasked = false;
};

class CaptureSink : public sim::FrameSink {
public:
    void Send(int channel, const uint8_t* frame, size_t size, bool unasked) override {
        frames.push_back({channel, Bytes(frame, frame + size), unasked});
    }
    std::vector<SentFrame> frames;
};

// A dispatcher with a fixed scene and no noise unless told otherwise.
struct Harness {
    explicit Harness(sim::DispatcherOptions options = Quiet());
    static sim::DispatcherOptions Quiet();

    // Sends one request at the harness time; returns the single answer.
    Decoded Ask(uint8_t order, uint16_t param = 0, const Bytes& data = {});
    // Raw answer bytes of one request.
    Bytes AskRaw(uint8_t order, uint16_t param = 0, const Bytes& data = {});
    // Advances the clock and polls; returns the frames sent meanwhile.
    std::vector<SentFrame> Run(uint64_t us);

    sim::Dispatcher d;
    CaptureSink sink;
    uint64_t now = 0;
};

// Blocking loopback TCP client; every wait has a time-out.
class TcpClient {
public:
    explicit TcpClient(uint16_t port);
    ~TcpClient();
    bool Connected() const { return fd_ >= 0; }
    void Write(const Bytes& bytes);
    // Exactly n bytes, or fewer when the time-out or the end came first.
    Bytes Read(size_t n, int timeoutMs = 2000);
    // Everything that arrives until the line has been quiet for quietMs.
    Bytes ReadAll(int quietMs = 200);
    // One answer frame: the header, then the data it announces.
    Decoded Exchange(const Bytes& request, int timeoutMs = 2000);
    // True when the server closed the connection within the time-out.
    bool SeesClose(int timeoutMs = 2000);
    int Fd() const { return fd_; }

private:
    int fd_ = -1;
};

inline double MsSince(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
}

} // namespace simtest
