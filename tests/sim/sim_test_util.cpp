#include "sim_test_util.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace simtest {

Bytes Request(uint8_t order, uint16_t param, const Bytes& data) {
    Bytes frame(com232::kHeaderSize + data.size());
    com232::EncodeFrame(order, param, data.data(), static_cast<uint16_t>(data.size()),
                        frame.data());
    return frame;
}

Decoded Decode(const Bytes& frame) {
    Decoded d;
    com232::FrameHeader h;
    if (frame.size() < com232::kHeaderSize || !com232::DecodeHeader(frame.data(), &h)) {
        return d;
    }
    d.order = h.order;
    d.param = h.param;
    d.data.assign(frame.begin() + com232::kHeaderSize, frame.end());
    d.ok = d.data.size() == h.length &&
           (h.length == 0 || com232::crc8Update(d.data.data(), 0, h.length) == h.dataCrc);
    return d;
}

Bytes Words(std::initializer_list<uint16_t> words) {
    Bytes b;
    for (uint16_t w : words) {
        b.push_back(static_cast<uint8_t>(w & 0xFF));
        b.push_back(static_cast<uint8_t>(w >> 8));
    }
    return b;
}

sim::DispatcherOptions Harness::Quiet() {
    sim::DispatcherOptions o;
    o.scene.noise = 0;
    return o;
}

Harness::Harness(sim::DispatcherOptions options) : d(options) {
    d.Core().GetScene().FixColour({1000, 2000, 3000});
}

Bytes Harness::AskRaw(uint8_t order, uint16_t param, const Bytes& data) {
    const Bytes req = Request(order, param, data);
    com232::FrameHeader h;
    com232::DecodeHeader(req.data(), &h);
    sink.frames.clear();
    d.HandleRequest(0, h, req.data() + com232::kHeaderSize, now, sink);
    EXPECT_EQ(sink.frames.size(), 1u) << "order " << int(order);
    return sink.frames.empty() ? Bytes{} : sink.frames.back().bytes;
}

Decoded Harness::Ask(uint8_t order, uint16_t param, const Bytes& data) {
    return Decode(AskRaw(order, param, data));
}

std::vector<SentFrame> Harness::Run(uint64_t us) {
    sink.frames.clear();
    now += us;
    d.Poll(now, sink);
    return sink.frames;
}

TcpClient::TcpClient(uint16_t port) {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(port);
    if (connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        close(fd_);
        fd_ = -1;
    }
}

TcpClient::~TcpClient() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

void TcpClient::Write(const Bytes& bytes) {
    ASSERT_EQ(send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(bytes.size()));
}

Bytes TcpClient::Read(size_t n, int timeoutMs) {
    Bytes out;
    const auto start = std::chrono::steady_clock::now();
    while (out.size() < n) {
        const int left = timeoutMs - static_cast<int>(MsSince(start));
        pollfd p{fd_, POLLIN, 0};
        if (left <= 0 || poll(&p, 1, left) <= 0) {
            break;
        }
        uint8_t buf[4096];
        const ssize_t got = recv(fd_, buf, std::min(sizeof buf, n - out.size()), 0);
        if (got <= 0) {
            break;
        }
        out.insert(out.end(), buf, buf + got);
    }
    return out;
}

Bytes TcpClient::ReadAll(int quietMs) {
    Bytes out;
    for (;;) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, quietMs) <= 0) {
            return out;
        }
        uint8_t buf[4096];
        const ssize_t got = recv(fd_, buf, sizeof buf, 0);
        if (got <= 0) {
            return out;
        }
        out.insert(out.end(), buf, buf + got);
    }
}

Decoded TcpClient::Exchange(const Bytes& request, int timeoutMs) {
    Write(request);
    Bytes frame = Read(com232::kHeaderSize, timeoutMs);
    if (frame.size() == com232::kHeaderSize) {
        const Bytes data = Read(com232::GetU16(frame.data() + 4), timeoutMs);
        frame.insert(frame.end(), data.begin(), data.end());
    }
    return Decode(frame);
}

bool TcpClient::SeesClose(int timeoutMs) {
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) <= 0) {
        return false;
    }
    uint8_t b;
    return recv(fd_, &b, 1, 0) == 0;
}

} // namespace simtest
