#include "platform/com_port_map.h"
#include "platform/popups.h"
#include "platform/runtime.h"
#include "platform/serial_port.h"
#include "platform/tcp_client.h"
#include "platform/widgets.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

using namespace platform;

namespace {

// A one-connection loopback server on its own thread: sends `reply` after
// receiving anything, then optionally closes.
class TinyServer {
public:
    explicit TinyServer(std::string reply, bool closeAfter)
        : reply_(std::move(reply)), closeAfter_(closeAfter) {
        listen_ = ::socket(AF_INET, SOCK_STREAM, 0);
        int one = 1;
        ::setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(listen_, 1);
        socklen_t len = sizeof a;
        ::getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~TinyServer() {
        ::shutdown(listen_, SHUT_RDWR);
        ::close(listen_);
        thread_.join();
    }
    unsigned port() const { return port_; }

private:
    void Serve() {
        const int c = ::accept(listen_, nullptr, nullptr);
        if (c < 0) {
            return;
        }
        char buf[64];
        if (::read(c, buf, sizeof buf) > 0) {
            ::write(c, reply_.data(), reply_.size());
        }
        if (!closeAfter_) {
            ::read(c, buf, sizeof buf); // until the client closes
        }
        ::close(c);
    }
    std::string reply_;
    bool closeAfter_;
    int listen_ = -1;
    unsigned port_ = 0;
    std::thread thread_;
};

struct Events {
    std::string data;
    int disconnects = 0;
    int eventsAfterDisconnect = 0;
};

int Collect(unsigned handle, int event, int, void* p) {
    auto* ev = static_cast<Events*>(p);
    if (ev->disconnects > 0) {
        ++ev->eventsAfterDisconnect;
    }
    if (event == kTcpDataReady) {
        char buf[256];
        const int n = ClientTCPRead(handle, buf, sizeof buf, 1000);
        if (n > 0) {
            ev->data.append(buf, static_cast<size_t>(n));
        }
    } else if (event == kTcpDisconnect) {
        ++ev->disconnects;
    }
    return 0;
}

template <class Pred>
bool WaitFor(Pred pred, double seconds) {
    const double t0 = Timer();
    while (!pred()) {
        if (Timer() - t0 > seconds) {
            return false;
        }
        ProcessSystemEvents();
    }
    return true;
}

} // namespace

TEST(Runtime, TimerIsMonotonicAndProcessSystemEventsReturnsQuickly) {
    const double t0 = Timer();
    for (int i = 0; i < 20; ++i) {
        ProcessSystemEvents();
    }
    const double t1 = Timer();
    EXPECT_GE(t1, t0);
    EXPECT_LT(t1 - t0, 1.0); // idle passes wait milliseconds, not longer
}

TEST(Runtime, QuitBeforeTheLoopMakesItReturnAtOnce) {
    QuitUserInterface(7);
    EXPECT_TRUE(QuitRequested());
    EXPECT_EQ(7, RunUserInterface());
    ResetQuitRequest();
    EXPECT_FALSE(QuitRequested());
}

TEST(Popups, ScriptedAnswersAndRecords) {
    ScriptedPopups user;
    user.Answer(2);
    EXPECT_EQ(2, GenericMessagePopup("ATTENTION!", "question", "CLOSE", "OFFLINE"));
    EXPECT_EQ(1, GenericMessagePopup("ATTENTION!", "again", "CLOSE", "OFFLINE")); // Enter
    user.Answer(0);
    EXPECT_EQ(0, ConfirmPopup("ATTENTION!", "sure?"));
    MessagePopup("INFO!", "hello");
    user.Answer(1, "123456789012");
    std::string response = "old";
    EXPECT_EQ(1, PromptPopup("VALUE!", "Insert a cell value!", &response, 9));
    EXPECT_EQ("123456789", response);
    EXPECT_EQ(0, PromptPopup("VALUE!", "Insert a cell value!", &response, 9));
    EXPECT_EQ("123456789", response);

    std::string path = "unchanged";
    FileSelectRequest req{"/tmp", "Parameter.ini", "*.ini", "Parameter", "", true, true};
    EXPECT_EQ(kNoFileSelected, FileSelectPopup(req, &path));
    EXPECT_EQ("unchanged", path);
    user.Answer(kNewFileSelected, "/tmp/does-not-exist-c3.ini");
    EXPECT_EQ(kNewFileSelected, FileSelectPopup(req, &path));
    user.Answer(1, "/tmp");
    EXPECT_EQ(kExistingFileSelected, FileSelectPopup(req, &path));

    ASSERT_EQ(9u, user.Records().size());
    EXPECT_EQ(PopupKind::Generic, user.Records()[0].kind);
    EXPECT_EQ((std::vector<std::string>{"CLOSE", "OFFLINE"}), user.Records()[0].buttons);
    EXPECT_EQ("hello", user.LastText("INFO!"));
    EXPECT_EQ(2u, user.Count(PopupKind::Prompt));
    EXPECT_EQ("Parameter.ini", user.Records()[6].file.defaultName);
}

TEST(TcpClient, RefusedConnectionAndUnknownHandles) {
    unsigned handle = 0;
    TinyServer probe("", true);
    const unsigned port = probe.port();
    // A port on which nothing listens: take one and close it again.
    int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    const unsigned freePort = ntohs(a.sin_port);
    ::close(s);
    EXPECT_EQ(kTcpUnableToEstablishConnection,
              ConnectToTCPServerEx(&handle, freePort, "127.0.0.1", nullptr, nullptr, 1000, 0));
    EXPECT_EQ(kTcpInvalidParameter,
              ConnectToTCPServerEx(&handle, port, "", nullptr, nullptr, 1000, 0));
    char b[4];
    EXPECT_EQ(kTcpNoConnectionEstablished, ClientTCPWrite(4242, "x", 1, 100));
    EXPECT_EQ(kTcpNoConnectionEstablished, ClientTCPRead(4242, b, 4, 100));
    EXPECT_EQ(kTcpNoConnectionEstablished, DisconnectFromTCPServer(4242));
    // let the probe server finish
    unsigned h2 = 0;
    ASSERT_EQ(0, ConnectToTCPServerEx(&h2, port, "127.0.0.1", nullptr, nullptr, 1000, 0));
    ClientTCPWrite(h2, "x", 1, 1000);
    DisconnectFromTCPServer(h2);
}

TEST(TcpClient, DataArrivesThroughTheCallbackAndThePeerCloseComesLast) {
    TinyServer server("hello sensor", true);
    Events ev;
    unsigned handle = 0;
    ASSERT_EQ(0, ConnectToTCPServerEx(&handle, server.port(), "127.0.0.1", Collect, &ev, 2000, 0));
    EXPECT_EQ(1u, OpenTcpConnectionCount());
    EXPECT_EQ(1, ClientTCPWrite(handle, "?", 1, 2000));
    ASSERT_TRUE(WaitFor([&] { return ev.disconnects > 0; }, 3.0));
    EXPECT_EQ("hello sensor", ev.data);
    EXPECT_EQ(1, ev.disconnects);
    EXPECT_EQ(0, ev.eventsAfterDisconnect);
    EXPECT_EQ(0u, OpenTcpConnectionCount());
    // the handle is gone: writing fails cleanly
    EXPECT_EQ(kTcpNoConnectionEstablished, ClientTCPWrite(handle, "?", 1, 100));
}

TEST(TcpClient, OwnDisconnectGivesNoCallback) {
    TinyServer server("x", false);
    Events ev;
    unsigned handle = 0;
    ASSERT_EQ(0, ConnectToTCPServerEx(&handle, server.port(), "127.0.0.1", Collect, &ev, 2000, 0));
    ClientTCPWrite(handle, "?", 1, 2000);
    ASSERT_TRUE(WaitFor([&] { return !ev.data.empty(); }, 3.0));
    EXPECT_EQ(0, DisconnectFromTCPServer(handle));
    for (int i = 0; i < 20; ++i) {
        ProcessSystemEvents();
    }
    EXPECT_EQ(0, ev.disconnects);
}

TEST(SerialPort, NumbersOutsideEveryRangeAndMissingDevices) {
    EXPECT_EQ(kComInvalidPortNumber, OpenComConfig(0, "", 115200, 0, 8, 1, 1024, 1024));
    EXPECT_EQ(kComNoSerialPortFound, OpenComConfig(9999, "", 115200, 0, 8, 1, 1024, 1024));
    EXPECT_EQ(0, CloseCom(9999)); // harmless
    EXPECT_EQ(kComPortNotOpen, GetInQLen(9999));
    char b[4];
    EXPECT_EQ(kComPortNotOpen, ComRd(9999, b, 4));
}

TEST(SerialPort, PseudoTerminalExchangeAndHangUp) {
    int master = -1, slave = -1;
    char name[128] = {};
    ASSERT_EQ(0, ::openpty(&master, &slave, name, nullptr, nullptr));
    termios t{};
    ::tcgetattr(slave, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(slave, TCSANOW, &t);
    const int com = platform::DeviceToComPort(name);
    ASSERT_GE(com, kComPtsBase) << name;

    ASSERT_EQ(0, OpenComConfig(com, "", 115200, 0, 8, 1, 1024, 1024));
    SetComTime(com, 0.5);
    EXPECT_TRUE(IsComOpen(com));
    EXPECT_EQ(3, ComWrt(com, "abc", 3));
    char got[8] = {};
    ASSERT_EQ(3, ::read(master, got, sizeof got));
    EXPECT_EQ(std::string("abc"), std::string(got, 3));

    ASSERT_EQ(5, ::write(master, "12345", 5));
    ASSERT_TRUE(WaitFor([&] { return GetInQLen(com) >= 5; }, 2.0));
    char in[8] = {};
    EXPECT_EQ(5, ComRd(com, in, 5));
    EXPECT_EQ(std::string("12345"), std::string(in, 5));
    EXPECT_EQ(0, GetComStat(com));

    // read time-out: returns what came
    ASSERT_EQ(2, ::write(master, "xy", 2));
    const double t0 = Timer();
    EXPECT_EQ(2, ComRd(com, in, 8));
    EXPECT_GE(Timer() - t0, 0.4);

    // flushing drops what waits
    ASSERT_EQ(3, ::write(master, "zzz", 3));
    ASSERT_TRUE(WaitFor([&] { return GetInQLen(com) >= 3; }, 2.0));
    FlushInQ(com);
    EXPECT_EQ(0, GetInQLen(com));

    // hang-up: the other side goes away; the port reports a line error and closes
    ::close(slave);
    ::close(master);
    ASSERT_TRUE(WaitFor([&] { return !IsComOpen(com); }, 2.0));
    EXPECT_GT(GetComStat(com), 0);
    EXPECT_GT(GetComStat(com), 0); // stays lost
    EXPECT_EQ(0, ComRd(com, in, 4));
    EXPECT_LT(ComWrt(com, "a", 1), 0);
    EXPECT_EQ(0, CloseCom(com));
}

// A link on a worker reads the port without serving events: what came is
// read from the driver, and a line that goes away (the other end closed,
// or hung up) is found by that read, as the port finds it with events.
TEST(SerialPort, ReadWithoutEventsFindsBytesAndALostLine) {
    for (const bool hangUp : {false, true}) {
        SCOPED_TRACE(hangUp ? "hung up" : "other end closed");
        int master = -1, slave = -1;
        char name[128] = {};
        ASSERT_EQ(0, ::openpty(&master, &slave, name, nullptr, nullptr));
        const int com = platform::DeviceToComPort(name);
        ASSERT_EQ(0, OpenComConfig(com, "", 115200, 0, 8, 1, 1024, 1024));
        char in[8] = {};
        EXPECT_EQ(0, ComRdArrived(com, in, sizeof in)); // nothing yet, no wait
        ASSERT_EQ(3, ::write(master, "abc", 3));
        ASSERT_TRUE(WaitComReadable(com, 2000));
        EXPECT_EQ(3, ComRdArrived(com, in, sizeof in));
        EXPECT_EQ(std::string("abc"), std::string(in, 3));
        if (hangUp && ::ioctl(slave, TIOCVHANGUP) != 0) {
            ::close(slave);
            ::close(master);
            CloseCom(com);
            continue; // hanging up a terminal needs the right to
        }
        ::close(slave);
        ::close(master);
        EXPECT_TRUE(WaitComReadable(com, 2000));
        EXPECT_EQ(0, ComRdArrived(com, in, sizeof in));
        EXPECT_FALSE(IsComOpen(com));
        EXPECT_GT(GetComStat(com), 0);
        EXPECT_EQ(0, CloseCom(com));
    }
}

// A number as wide as the one before is drawn without setting the label's
// text; it must look exactly as a label given that text, and read as it.
TEST(NumDisplay, ANumberDrawnInPlaceLooksAndReadsAsTheLabelsOwnText) {
    ctl::NumDisplay inPlace;
    ctl::NumDisplay fresh;
    for (ctl::NumDisplay* d : {&inPlace, &fresh}) {
        d->resize(60, 20);
        d->show();
    }
    inPlace.SetVal(1234);
    ProcessSystemEvents();
    inPlace.SetVal(5678);
    fresh.SetVal(5678);
    EXPECT_EQ("5678", inPlace.text());
    EXPECT_EQ(fresh.grab().toImage(), inPlace.grab().toImage());
    // Another width is set as the text; a text set from elsewhere is shown.
    inPlace.SetVal(12);
    fresh.SetVal(12);
    EXPECT_EQ(fresh.grab().toImage(), inPlace.grab().toImage());
    inPlace.SetVal(34);
    inPlace.setText("--");
    fresh.setText("--");
    EXPECT_EQ("--", inPlace.text());
    EXPECT_EQ(fresh.grab().toImage(), inPlace.grab().toImage());
    inPlace.SetVal(34);
    EXPECT_EQ("34", inPlace.text());
    fresh.SetVal(34);
    EXPECT_EQ(fresh.grab().toImage(), inPlace.grab().toImage());
}
