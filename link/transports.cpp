// The two transports, serial port and TCP connection, opening them, the
// TCP event callback, and the texts of the open/connect error codes.
#include "link/com232.h"
#include "link/link_texts.h"
#include "link/transport.h"
#include "platform/com_port_map.h"
#include "platform/runtime.h"
#include "platform/serial_port.h"
#include "platform/serial_reason.h"
#include "platform/tcp_client.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace com232 {
namespace {

// A transport that is not there: before the first connection and after
// the link was closed. Nothing is written or read.
class NoTransport final : public Transport {
public:
    bool IsOpen() const override { return false; }
    void Close() override {}
    int Write(const uint8_t*, size_t) override { return -1; }
    size_t Read(uint8_t*, size_t) override { return 0; }
    bool WaitReadable(int) override { return false; }
    void DropReceived() override {}
    int LineErrors() override { return 0; }
    size_t ReadAfterTimeOut(uint8_t*, size_t) override { return 0; }
    void SetPortTimeOut(double) override {}
};

// The serial port under its key. The port's own input queue holds what
// has arrived; a read takes what is queued, so it never waits.
class SerialTransport final : public Transport {
public:
    explicit SerialTransport(int key) : port_(key) {}
    ~SerialTransport() override { Close(); }

    bool IsOpen() const override { return port_ != 0; }
    void Close() override {
        if (port_ != 0) {
            platform::CloseCom(port_);
            port_ = 0;
        }
    }
    int Write(const uint8_t* data, size_t count) override {
        return platform::ComWrt(port_, data, count);
    }
    size_t Read(uint8_t* buffer, size_t room) override {
        const int n = room == 0 ? 0 : platform::ComRdArrived(port_, buffer, room);
        return n > 0 ? static_cast<size_t>(n) : 0;
    }
    bool WaitReadable(int ms) override { return platform::WaitComReadable(port_, ms); }
    void DropReceived() override {
        platform::FlushInQ(port_);
        platform::FlushOutQ(port_);
    }
    int LineErrors() override {
        // A port that is gone (closed under the loop) counts as a lost line.
        const int bits = platform::GetComStat(port_);
        return platform::IsComOpen(port_) ? bits : (bits | platform::kComStatLineLost);
    }
    size_t ReadAfterTimeOut(uint8_t* buffer, size_t missing) override {
        const int n = platform::ComRd(port_, buffer, missing);
        return n > 0 ? static_cast<size_t>(n) : 0;
    }
    void SetPortTimeOut(double seconds) override { platform::SetComTime(port_, seconds); }
    void GiveToThread(void* thread) override { platform::GiveComToThread(port_, thread); }

private:
    int port_;
};

// The TCP connection. With events, the bytes the connection reports (its
// data-ready callback, while events are processed) are kept here until the
// link reads them, so the last bytes the server sent before closing are not
// lost with the connection, and a close is reported as it happens; reads
// take those first, then what the socket holds. Without events (a link on a
// worker) the socket is read directly and a close is found by reading.
class TcpTransport final : public Transport {
public:
    TcpTransport(SensorLink* link, unsigned handle) : link_(link), handle_(handle) {}
    // The handle of the connection made with this transport as callback data.
    void Adopt(unsigned handle) { handle_ = handle; }
    ~TcpTransport() override { Close(); }

    bool IsOpen() const override { return handle_ != 0; }
    void Close() override {
        if (handle_ != 0) {
            platform::DisconnectFromTCPServer(handle_);
            handle_ = 0;
        }
        pending_.clear();
    }
    int Write(const uint8_t* data, size_t count) override {
        return platform::ClientTCPWrite(handle_, data, count, kTcpWriteTimeoutMs);
    }
    size_t Read(uint8_t* buffer, size_t room) override {
        size_t n = std::min(room, pending_.size());
        std::copy_n(pending_.begin(), n, buffer);
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(n));
        if (n < room && handle_ != 0) {
            const int got = platform::ClientTCPRead(handle_, buffer + n, room - n, 0);
            if (got > 0) {
                n += static_cast<size_t>(got);
            }
        }
        return n;
    }
    bool WaitReadable(int ms) override {
        return !pending_.empty() || (handle_ != 0 && platform::ClientTCPWaitReadable(
                                                         handle_, static_cast<unsigned>(ms)));
    }
    void DropReceived() override {
        pending_.clear();
        uint8_t stale[256];
        while (handle_ != 0 && platform::ClientTCPBytesWaiting(handle_) > 0 &&
               platform::ClientTCPRead(handle_, stale, sizeof stale, 0) > 0) {
        }
    }
    int LineErrors() override { return 0; }
    size_t ReadAfterTimeOut(uint8_t*, size_t) override { return 0; }
    void SetPortTimeOut(double) override {}
    const char* LostText() override {
        if (handle_ == 0 || !pending_.empty()) {
            return nullptr;
        }
        const int code = platform::ClientTCPLost(handle_);
        if (code == 0 || code == platform::kTcpNoConnectionEstablished) {
            return nullptr;
        }
        return code == platform::kTcpTimeOutErr ? kTextConnectionLost : kTextServerClosed;
    }
    void WatchEvents(bool on) override { platform::ClientTCPWatchEvents(handle_, on); }

    // The connection's events: data ready (kept), closed by the server or
    // lost (reported at once: the wait in progress, if any, ends by its
    // time-out).
    void OnEvent(unsigned handle, int event, int error) {
        if (handle != handle_) {
            return; // an earlier conversation
        }
        if (event == platform::kTcpDataReady) {
            uint8_t chunk[4096];
            int n = 0;
            while ((n = platform::ClientTCPRead(handle, chunk, sizeof chunk, 0)) > 0) {
                pending_.insert(pending_.end(), chunk, chunk + n);
            }
        } else if (event == platform::kTcpDisconnect) {
            handle_ = 0;
            link_->TcpConnected = 0;
            link_->StatusText =
                error == platform::kTcpTimeOutErr ? kTextConnectionLost : kTextServerClosed;
            link_->SetTimeout();
        }
    }

private:
    SensorLink* link_;
    unsigned handle_;
    std::vector<uint8_t> pending_;
};

int ClientTCPCB(unsigned handle, int event, int error, void* callbackData) {
    static_cast<TcpTransport*>(callbackData)->OnEvent(handle, event, error);
    return 0;
}

} // namespace

std::unique_ptr<Transport> MakeNoTransport() {
    return std::make_unique<NoTransport>();
}

std::unique_ptr<Transport> MakeSerialTransport(int key) {
    return std::make_unique<SerialTransport>(key);
}

long BaudrateOfIndex(unsigned index) {
    static constexpr long kRates[] = {9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600};
    return index < 8 ? kRates[index] : 115200;
}

const char* Rs232ErrorText(int code) {
    switch (code) {
    case -1:
        return "Unknown system error";
    case -2:
        return "Invalid port number";
    case -3:
        return "Port is not open";
    case -4:
        return "Unknown I/0 error";
    case -6:
        return "No serial port found";
    case -7:
        return "Cannot open port";
    case -14:
        return "Invalid Baudrate";
    case -99:
        return "Timeout";
    default:
        return "RS-232 error!";
    }
}

const char* TcpErrorText(int code) {
    static constexpr const char* kTexts[] = {"UnableToRegisterService",
                                             "UnableToEstablishConnection",
                                             "ExistingServer",
                                             "FailedToConnect",
                                             "ServerNotRegistered",
                                             "TooManyConversations",
                                             "ReadFailed",
                                             "WriteFailed",
                                             "InvalidParameter",
                                             "OutOfMemory",
                                             "TimeOutError",
                                             "NoConnectionEstablished",
                                             "GeneralIOErr",
                                             "ConnectionClosed",
                                             "UnableToLoadWinsockDLL",
                                             "IncorrectWinsockDLLVersion",
                                             "NetworkSubsystemNotReady",
                                             "ConnectionsStillOpen",
                                             "DisconnectPending",
                                             "InfoNotAvailable"};
    if (code <= -1 && code >= -20) {
        return kTexts[-code - 1];
    }
    return "Connection to server failed";
}

void SensorLink::InitRS232(const std::string& devicePath) {
    AcquisitionRunning = 0;
    UseTransport(nullptr);
    const long baud = BaudrateOfIndex(BaudrateIndex);
    std::string device = devicePath;
    if (!device.empty()) {
        // The device under its own name (links followed), by the COM number
        // of that name where it has one.
        device = platform::CanonicalDevicePath(device);
        const int number = platform::DeviceToComPort(device);
        ComPort = static_cast<uint16_t>(number > 0 ? number : platform::kComPortOfPath);
    } else {
        device = platform::ComPortToDevice(ComPort);
    }
    // Each link opens its port under a key of its own, so that links on
    // several threads never meet in the port table.
    const int key = platform::NewComKey();
    LinkResult = device.empty() ? platform::kComInvalidPortNumber
                                : platform::OpenComConfig(key, device, baud, 0, 8, 1, 1024, 1024);
    if (LinkResult < 0) {
        StatusText = Rs232ErrorText(LinkResult);
        // Why the device would not open, on a line of its own.
        if (LinkResult == -6 || LinkResult == -7) {
            const std::string reason =
                platform::SerialOpenReasonText(device, platform::DiagnoseSerialOpen(device));
            if (!reason.empty()) {
                StatusText += "\n" + reason;
            }
        }
        SetTimeout();
        return;
    }
    UseTransport(MakeSerialTransport(key));
    OpenedComPort = ComPort;
    platform::SetComTime(key, serialPortTimeout_);
    platform::FlushInQ(key);
    platform::FlushOutQ(key);
    platform::SetCTSMode(key, 0);
}

void SensorLink::InitTCP_IP() {
    UseTransport(nullptr);
    // A link that serves a window's events is told of the connection's
    // events through the event loop; one on a worker reads the socket itself.
    const bool events = policy_ == WaitPolicy::ServeEvents;
    auto tcp = std::make_unique<TcpTransport>(this, 0);
    if (events) {
        platform::SetWaitCursor(1);
    }
    unsigned handle = 0;
    LinkResult = platform::ConnectToTCPServerEx(&handle, ServerPort, ServerAddress,
                                                events ? ClientTCPCB : nullptr, tcp.get(),
                                                connectTimeoutMs_, 0);
    if (events) {
        platform::SetWaitCursor(0);
    }
    if (LinkResult >= 0) {
        tcp->Adopt(handle);
        UseTransport(std::move(tcp));
        TcpConnected = 1;
        RxCount = 0;
    } else {
        StatusText = TcpErrorText(LinkResult);
        SetTimeout();
        TcpConnected = 0;
    }
}

void SensorLink::CloseLink() {
    UseTransport(nullptr);
    TcpConnected = 0;
    OpenedComPort = 0;
}

bool SensorLink::LinkOpen() const {
    return transport_->IsOpen();
}

void SensorLink::UseTransport(std::unique_ptr<Transport> t) {
    transport_->Close();
    transport_ = t ? std::move(t) : MakeNoTransport();
}

} // namespace com232
