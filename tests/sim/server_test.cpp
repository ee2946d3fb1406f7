// The simulator as a program talks to it: over a real loopback TCP
// connection and a pseudo-terminal, with every fault, the control commands
// and socket, the line-time model, automatic sending and the scope frames.
#include "sim/simulator.h"
#include "sim_test_util.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace {

using simtest::Bytes;
using simtest::MsSince;
using simtest::TcpClient;
using Clock = std::chrono::steady_clock;

sim::Options Quiet() {
    sim::Options o;
    o.tcpPort = 0;
    o.noise = 0;
    return o;
}

struct Running {
    explicit Running(sim::Options o = Quiet()) : s(o) {
        std::string error;
        started = s.Start(&error);
        EXPECT_TRUE(started) << error;
    }
    sim::Simulator s;
    bool started = false;
};

const Bytes kLive = simtest::Request(com232::kOrderLiveData);
const Bytes kIdentify = simtest::Request(com232::kOrderIdentify);

TEST(SimServer, IdentifyAndOneClientAtATime) {
    Running r;
    auto a = std::make_unique<TcpClient>(r.s.TcpPort());
    ASSERT_TRUE(a->Connected());
    a->Write(kIdentify);
    const Bytes answer = a->Read(80);
    ASSERT_EQ(answer.size(), 80u);
    EXPECT_EQ(Bytes(answer.begin(), answer.begin() + 8),
              (Bytes{0x55, 0x07, 0x67, 0x12, 0x48, 0x00, 0x12, 0xC9}));

    TcpClient b(r.s.TcpPort()); // waits in the backlog
    ASSERT_TRUE(b.Connected());
    b.Write(kLive);
    EXPECT_TRUE(b.Read(8, 300).empty());
    a.reset(); // the first client leaves: the second is served
    const simtest::Decoded live = simtest::Decoded(simtest::Decode(b.Read(48)));
    EXPECT_TRUE(live.ok);
    EXPECT_EQ(live.data.size(), 40u);
    EXPECT_NE(r.s.Command("status").find("client=connected"), std::string::npos);
}

TEST(SimServer, DelayFaults) {
    Running r;
    TcpClient c(r.s.TcpPort());
    EXPECT_EQ(r.s.Command("fault delay-header 300 order=8").rfind("ok:", 0), 0u);
    auto t = Clock::now();
    EXPECT_TRUE(c.Exchange(kIdentify).ok); // other orders are not delayed
    EXPECT_LT(MsSince(t), 200);
    t = Clock::now();
    EXPECT_TRUE(c.Exchange(kLive).ok);
    EXPECT_GE(MsSince(t), 295);

    r.s.Command("fault delay-data 300");
    t = Clock::now();
    c.Write(kLive);
    EXPECT_EQ(c.Read(8, 2000).size(), 8u);
    EXPECT_LT(MsSince(t), 200); // header on time
    EXPECT_EQ(c.Read(40, 2000).size(), 40u);
    EXPECT_GE(MsSince(t), 295);

    r.s.Command("fault split 10 40");
    t = Clock::now();
    const simtest::Decoded id = c.Exchange(kIdentify);
    EXPECT_TRUE(id.ok);
    EXPECT_GE(MsSince(t), 7 * 40 - 5); // 80 bytes in 8 pieces, 7 pauses
}

TEST(SimServer, AnswerReplacingFaults) {
    Running r;
    TcpClient c(r.s.TcpPort());
    r.s.Command("fault drop");
    c.Write(kLive);
    EXPECT_TRUE(c.Read(8, 300).empty());
    EXPECT_TRUE(c.Exchange(kLive).ok); // only one answer was affected

    r.s.Command("fault error 3");
    c.Write(kLive);
    EXPECT_EQ(c.Read(8), (Bytes{0x55, 0x00, 0x03, 0x00, 0x00, 0x00, 0xAA, 0x99}));

    r.s.Command("fault garbage 20");
    c.Write(kLive);
    EXPECT_EQ(c.ReadAll(200).size(), 20u);

    r.s.Command("fault oversize 3000");
    c.Write(kLive);
    const Bytes header = c.Read(8);
    ASSERT_EQ(header.size(), 8u);
    com232::FrameHeader h;
    ASSERT_TRUE(com232::DecodeHeader(header.data(), &h));
    EXPECT_EQ(h.length, 3000);
    const Bytes data = c.Read(3000);
    ASSERT_EQ(data.size(), 3000u);
    EXPECT_EQ(com232::crc8Update(data.data(), 0, data.size()), h.dataCrc);
    EXPECT_TRUE(c.ReadAll(100).empty());

    r.s.Command("fault drop order=7");
    EXPECT_TRUE(c.Exchange(kLive).ok);
    c.Write(kIdentify);
    EXPECT_TRUE(c.Read(8, 300).empty());
}

TEST(SimServer, CutAndGarbageBeforeFaults) {
    Running r;
    TcpClient c(r.s.TcpPort());
    r.s.Command("fault cut 20 order=8");
    c.Write(kLive);
    const Bytes part = c.ReadAll(200);
    ASSERT_EQ(part.size(), 20u); // header and 12 data bytes, then nothing
    com232::FrameHeader h;
    ASSERT_TRUE(com232::DecodeHeader(part.data(), &h));
    EXPECT_EQ(h.length, 40);
    EXPECT_TRUE(c.Exchange(kLive).ok); // the next answer is whole

    r.s.Command("fault garbage-before 13");
    c.Write(kIdentify);
    const Bytes late = c.Read(13 + 80);
    ASSERT_EQ(late.size(), 93u);
    const simtest::Decoded id = simtest::Decode(Bytes(late.begin() + 13, late.end()));
    EXPECT_TRUE(id.ok);
    EXPECT_EQ(id.order, com232::kOrderIdentify);
    EXPECT_TRUE(c.ReadAll(100).empty());
}

TEST(SimServer, CorruptionFaults) {
    Running r;
    TcpClient c(r.s.TcpPort());
    r.s.Command("fault corrupt-header");
    c.Write(kLive);
    const Bytes bad = c.Read(48);
    ASSERT_EQ(bad.size(), 48u);
    com232::FrameHeader h;
    EXPECT_FALSE(com232::DecodeHeader(bad.data(), &h));

    r.s.Command("fault corrupt-data count=2");
    for (int i = 0; i < 2; ++i) {
        const simtest::Decoded d = c.Exchange(kLive);
        EXPECT_EQ(d.order, com232::kOrderLiveData);
        EXPECT_FALSE(d.ok);
    }
    EXPECT_TRUE(c.Exchange(kLive).ok);
}

TEST(SimServer, CloseFaultAndCloseCommand) {
    Running r;
    {
        TcpClient c(r.s.TcpPort());
        r.s.Command("fault close order=8");
        c.Write(kLive);
        EXPECT_TRUE(c.SeesClose());
    }
    {
        TcpClient c(r.s.TcpPort()); // the next client is served
        EXPECT_TRUE(c.Exchange(kIdentify).ok);
        EXPECT_EQ(r.s.Command("close"), "ok: connection closed\n");
        EXPECT_TRUE(c.SeesClose());
    }
    EXPECT_EQ(r.s.Command("close"), "ok: no client connected\n");
}

TEST(SimServer, FaultsFromTheCommandLineOptions) {
    sim::Options o = Quiet();
    o.faults = {"delay-header 250 order=7", "error 1 order=194 count=0"};
    Running r(o);
    TcpClient c(r.s.TcpPort());
    const auto t = Clock::now();
    EXPECT_TRUE(c.Exchange(kIdentify).ok);
    EXPECT_GE(MsSince(t), 245);
    EXPECT_EQ(c.Exchange(simtest::Request(194, 0x4E21)).param, 1);
    EXPECT_EQ(c.Exchange(simtest::Request(194, 0x4E21)).order, 0);

    sim::Options badOptions = Quiet();
    badOptions.faults = {"explode"};
    sim::Simulator bad(badOptions);
    std::string error;
    EXPECT_FALSE(bad.Start(&error));
    EXPECT_NE(error.find("explode"), std::string::npos);
}

TEST(SimServer, BadRequestsAndGarbageOnTheLine) {
    Running r;
    TcpClient c(r.s.TcpPort());
    Bytes bad = simtest::Request(1, 0, Bytes(34, 3));
    bad[20] ^= 0x40;
    c.Write(bad);
    EXPECT_EQ(c.Read(8), (Bytes{0x55, 0x00, 0x02, 0x00, 0x00, 0x00, 0xAA, 0x54}));
    c.Write(Bytes{0x00, 0x55, 0xFF, 0x13, 0x55, 0x55});
    EXPECT_TRUE(c.Exchange(kIdentify).ok);
    r.s.Command("received clear");
    c.Exchange(simtest::Request(2, 3));
    c.Exchange(simtest::Request(1, 0, Bytes(34)));
    EXPECT_EQ(r.s.Command("received"), "2 3 0\n1 0 34\n");
}

TEST(SimServer, IncompleteRequestIsDroppedAfterASecondOfSilence) {
    Running r;
    TcpClient c(r.s.TcpPort());
    const Bytes write = simtest::Request(1, 0, Bytes(34, 1));
    c.Write(Bytes(write.begin(), write.begin() + 20)); // header and 12 of 34 bytes
    EXPECT_TRUE(c.Read(8, 1200).empty());
    // Without the drop, the next request would be taken as the missing data.
    EXPECT_EQ(c.Exchange(kIdentify).order, com232::kOrderIdentify);
}

TEST(SimServer, ControlCommands) {
    Running r;
    EXPECT_EQ(r.s.Command("frobnicate").rfind("error:", 0), 0u);
    EXPECT_EQ(r.s.Command("fault delay-header").rfind("error:", 0), 0u);
    EXPECT_EQ(r.s.Command("in0 2").rfind("error:", 0), 0u);
    EXPECT_EQ(r.s.Command("quit").rfind("error:", 0), 0u); // standard input only
    EXPECT_EQ(r.s.Command("scene color 1000 2000 3000"), "ok: scene fixed to 1000 2000 3000\n");
    usleep(2000);
    const std::string live = r.s.Command("live");
    EXPECT_NE(live.find("RED=1000 GREEN=2000 BLUE=3000 X=167 Y=333 INT=2000"), std::string::npos)
        << live;
    EXPECT_EQ(r.s.Command("fault drop order=8"), "ok: fault drop order=8 count=1\n");
    EXPECT_EQ(r.s.Command("fault list"), "drop order=8 count=1\n");
    EXPECT_EQ(r.s.Command("fault clear"), "ok: faults cleared\n");
    EXPECT_EQ(r.s.Command("fault list"), "");
    const std::string status = r.s.Command("status");
    EXPECT_NE(status.find("client=none"), std::string::npos);
    EXPECT_NE(status.find("scene=fixed"), std::string::npos);
    EXPECT_EQ(status.back(), '\n');
    EXPECT_EQ(status.find('\n'), status.size() - 1); // one line
}

TEST(SimServer, ControlSocketRepliesEndWithAnEmptyLine) {
    sim::Options o = Quiet();
    o.controlPort = 0;
    Running r(o);
    ASSERT_GT(r.s.ControlPort(), 0);
    TcpClient control(r.s.ControlPort());
    control.Write(Bytes{'i', 'n', '0', ' ', '1', '\n', 's', 't', 'a', 't', 'u', 's', '\r', '\n'});
    const Bytes reply = control.ReadAll(300);
    const std::string text(reply.begin(), reply.end());
    EXPECT_EQ(text.rfind("ok: in0 1\n\n", 0), 0u) << text;
    EXPECT_NE(text.find("in0=1(1)"), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 2), "\n\n");
}

TEST(SimServer, AutomaticSendingAndScopeFramesArriveUnasked) {
    Running r;
    TcpClient c(r.s.TcpPort());
    r.s.Command("scene color 1000 2000 3000");
    EXPECT_EQ(c.Exchange(simtest::Request(com232::kOrderAutoSend, 1)).order, 30);
    EXPECT_TRUE(c.ReadAll(100).empty());
    r.s.Command("trigger");
    const simtest::Decoded f = simtest::Decode(c.Read(48));
    EXPECT_TRUE(f.ok);
    EXPECT_EQ(com232::GetU16(f.data.data()), 1000);
    c.Exchange(simtest::Request(com232::kOrderAutoSend, 0));

    // Single shot at scan rate 1: the acknowledgment and 4 * 266 bytes, 1072 in all.
    c.Write(simtest::Request(com232::kOrderScope, 1, simtest::Words({0, 0, 0, 1, 0})));
    const Bytes all = c.Read(1072, 3000);
    ASSERT_EQ(all.size(), 1072u);
    EXPECT_EQ(Bytes(all.begin(), all.begin() + 8), simtest::Request(com232::kOrderScope, 0));
    for (int b = 0; b < 4; ++b) {
        const auto from = all.begin() + 8 + 266 * b;
        const simtest::Decoded block = simtest::Decode(Bytes(from, from + 266));
        EXPECT_TRUE(block.ok);
        EXPECT_EQ(block.param, b);
    }
    EXPECT_TRUE(c.ReadAll(100).empty());
}

TEST(SimServer, LineTimeModelFollowsTheBaudRateChange) {
    sim::Options o = Quiet();
    o.lineBaud = 9600;
    Running r(o);
    TcpClient c(r.s.TcpPort());
    auto t = Clock::now();
    EXPECT_TRUE(c.Exchange(kLive).ok);
    EXPECT_GE(MsSince(t), 56 * 10 * 1000.0 / 9600 - 1); // 58 ms for 8 + 48 bytes
    t = Clock::now();
    EXPECT_EQ(c.Exchange(simtest::Request(com232::kOrderBaudrate, 7)).order, 190);
    EXPECT_GE(MsSince(t), 16 * 10 * 1000.0 / 9600 - 1); // answered at the old rate
    EXPECT_NE(r.s.Command("status").find("baud-index=7 line-baud=921600"), std::string::npos);
    t = Clock::now();
    for (int i = 0; i < 10; ++i) {
        EXPECT_TRUE(c.Exchange(kLive).ok);
    }
    EXPECT_LT(MsSince(t), 58); // ten exchanges at 921600 take less than one at 9600
}

int OpenRawPty(const std::string& path) {
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
    return fd;
}

Bytes ReadFd(int fd, size_t n, int timeoutMs) {
    Bytes out;
    const auto start = Clock::now();
    while (out.size() < n) {
        pollfd p{fd, POLLIN, 0};
        const int left = timeoutMs - static_cast<int>(MsSince(start));
        if (left <= 0 || poll(&p, 1, left) <= 0) {
            break;
        }
        uint8_t buf[512];
        const ssize_t got = read(fd, buf, std::min(sizeof buf, n - out.size()));
        if (got <= 0) {
            break;
        }
        out.insert(out.end(), buf, buf + got);
    }
    return out;
}

TEST(SimServer, PseudoTerminalServesTheSameProtocol) {
    sim::Options o = Quiet();
    o.tcp = false;
    o.pty = true;
    Running r(o);
    const std::string path = r.s.PtyPath();
    ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u);
    EXPECT_EQ(r.s.PtyComPort(), 1000 + std::stoi(path.substr(9)));
    EXPECT_EQ(r.s.TcpPort(), 0);

    for (int round = 0; round < 2; ++round) { // the line can be opened again
        const int fd = OpenRawPty(path);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(write(fd, kIdentify.data(), kIdentify.size()), 8);
        const Bytes id = ReadFd(fd, 80, 2000);
        EXPECT_TRUE(simtest::Decode(id).ok);

        r.s.Command("fault corrupt-header");
        ASSERT_EQ(write(fd, kLive.data(), kLive.size()), 8);
        const Bytes bad = ReadFd(fd, 48, 2000);
        ASSERT_EQ(bad.size(), 48u);
        com232::FrameHeader h;
        EXPECT_FALSE(com232::DecodeHeader(bad.data(), &h));
        close(fd);
    }
}

} // namespace
