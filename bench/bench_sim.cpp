// How many order-8 exchanges per second the simulated sensor serves over
// TCP loopback (a plain blocking POSIX client against an in-process
// simulator), and how close its line-time model comes to the serial limit.
#include "link/crc8.h"
#include "link/frame.h"
#include "sim/simulator.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

int Connect(uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    timeval tv{5, 0}; // a lost answer ends the run instead of hanging it
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(port);
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

bool ReadExactly(int fd, uint8_t* buf, size_t n) {
    size_t got = 0;
    while (got < n) {
        const ssize_t r = recv(fd, buf + got, n - got, 0);
        if (r <= 0) {
            return false;
        }
        got += static_cast<size_t>(r);
    }
    return true;
}

// One exchange: request out, header and data in, both CRCs checked.
bool Exchange(int fd, const uint8_t* request, size_t size, uint8_t* answer) {
    if (send(fd, request, size, MSG_NOSIGNAL) != static_cast<ssize_t>(size) ||
        !ReadExactly(fd, answer, com232::kHeaderSize)) {
        return false;
    }
    com232::FrameHeader h;
    if (!com232::DecodeHeader(answer, &h) || h.length > com232::kMaxAnswerData ||
        !ReadExactly(fd, answer + com232::kHeaderSize, h.length)) {
        return false;
    }
    return com232::crc8Update(answer, com232::kHeaderSize, h.length) == h.dataCrc;
}

// Runs `count` exchanges of one request; returns exchanges per second (0 on failure).
double Rate(uint16_t port, uint8_t order, uint16_t param, int count) {
    const int fd = Connect(port);
    if (fd < 0) {
        return 0;
    }
    uint8_t request[com232::kHeaderSize];
    com232::EncodeHeader(order, param, 0, com232::kCrcInit, request);
    uint8_t answer[com232::kRxBufferSize];
    for (int i = 0; i < count / 20; ++i) { // warm-up
        if (!Exchange(fd, request, sizeof request, answer)) {
            close(fd);
            return 0;
        }
    }
    const auto t0 = Clock::now();
    for (int i = 0; i < count; ++i) {
        if (!Exchange(fd, request, sizeof request, answer)) {
            close(fd);
            return 0;
        }
    }
    const double s = std::chrono::duration<double>(Clock::now() - t0).count();
    close(fd);
    return count / s;
}

sim::Simulator* Start(sim::Options o) {
    o.tcpPort = 0;
    auto* s = new sim::Simulator(o);
    std::string error;
    if (!s->Start(&error)) {
        std::fprintf(stderr, "simulator: %s\n", error.c_str());
        delete s;
        return nullptr;
    }
    return s;
}

} // namespace

int main() {
    sim::Simulator* s = Start(sim::Options{});
    if (s == nullptr) {
        return 1;
    }
    // Five rounds: the figure depends on how the two threads are scheduled
    // on a shared machine, so the median and the best round are printed.
    const int n = 10000;
    std::vector<double> rounds;
    for (int r = 0; r < 5; ++r) {
        rounds.push_back(Rate(s->TcpPort(), com232::kOrderLiveData, 0, n));
        std::printf("order 8 over TCP loopback, round %d: %.0f exchanges/s\n", r + 1,
                    rounds.back());
    }
    std::sort(rounds.begin(), rounds.end());
    const double live = rounds[2];
    std::printf("order 8 (live data, 48-byte answer) over TCP loopback: median %.0f exchanges/s "
                "(%.1f us each), best %.0f/s, target >= 20000/s\n",
                live, live > 0 ? 1e6 / live : 0.0, rounds.back());
    const double table = Rate(s->TcpPort(), com232::kOrderReadPara, 2, n / 4);
    std::printf("order 2 (TeachTable, 504-byte answer) over TCP loopback: %.0f exchanges/s\n",
                table);
    delete s;

    // The line-time model against the physical limit of the serial line.
    for (const int baud : {115200, 921600}) {
        sim::Options o;
        o.lineBaud = baud;
        s = Start(o);
        if (s == nullptr) {
            return 1;
        }
        const double limit = baud / 10.0 / (8 + 48);
        const double modelled = Rate(s->TcpPort(), com232::kOrderLiveData, 0, 200);
        std::printf("order 8 with --line-baud %d: %.0f exchanges/s (serial limit %.0f/s)\n", baud,
                    modelled, limit);
        delete s;
    }
    return live > 0 ? 0 : 1; // figures only; 1 when the exchanges failed
}
