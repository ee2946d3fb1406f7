// Opening the serial port or the TCP connection, the TCP event callback,
// and the texts of the open/connect error codes.
#include "link/com232.h"
#include "link/link_texts.h"
#include "platform/runtime.h"
#include "platform/serial_port.h"
#include "platform/tcp_client.h"

#include <algorithm>
#include <cstring>

namespace com232 {

uint16_t OpenedComPort = 0;

namespace {

double gSerialPortTimeout = kSerialPortTimeoutSeconds;

void CloseOpenedComPort() {
    if (OpenedComPort != 0) {
        platform::CloseCom(OpenedComPort);
        OpenedComPort = 0;
    }
}

} // namespace

double SerialPortTimeoutSeconds() {
    return gSerialPortTimeout;
}

void SetSerialPortTimeoutForTests(double seconds) {
    gSerialPortTimeout = seconds > 0 ? seconds : kSerialPortTimeoutSeconds;
    if (OpenedComPort != 0) {
        platform::SetComTime(OpenedComPort, gSerialPortTimeout);
    }
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

void InitRS232() {
    AcquisitionRunning = 0;
    CloseOpenedComPort();
    platform::CloseCom(ComPort);
    const long baud = BaudrateOfIndex(BaudrateIndex);
    LinkResult = platform::OpenComConfig(ComPort, "", baud, 0, 8, 1, 1024, 1024);
    if (LinkResult < 0) {
        StatusText = Rs232ErrorText(LinkResult);
        SetTimeout();
        return;
    }
    OpenedComPort = ComPort;
    platform::SetComTime(ComPort, gSerialPortTimeout);
    platform::FlushInQ(ComPort);
    platform::FlushOutQ(ComPort);
    platform::SetCTSMode(ComPort, 0);
}

void InitTCP_IP() {
    if (TcpConnected) {
        platform::DisconnectFromTCPServer(TcpHandle);
        TcpConnected = 0;
        TcpHandle = 0;
    }
    platform::SetWaitCursor(1);
    unsigned handle = 0;
    LinkResult = platform::ConnectToTCPServerEx(&handle, ServerPort, ServerAddress, ClientTCPCB,
                                                nullptr, kTcpConnectTimeoutMs, 0);
    platform::SetWaitCursor(0);
    if (LinkResult >= 0) {
        TcpHandle = handle;
        TcpConnected = 1;
        RxCount = 0;
    } else {
        StatusText = TcpErrorText(LinkResult);
        SetTimeout();
        TcpConnected = 0;
    }
}

int ClientTCPCB(unsigned handle, int event, int /*error*/, void* /*callbackData*/) {
    if (handle != TcpHandle) {
        return 0; // an earlier conversation
    }
    if (event == platform::kTcpDataReady) {
        const int room = static_cast<int>(kRxBufferSize) - RxCount;
        if (room > 0) {
            const int n = platform::ClientTCPRead(handle, RxBuffer + RxCount,
                                                  static_cast<size_t>(room), kTcpReadTimeoutMs);
            if (n > 0) {
                RxCount += std::min(n, room);
            }
        }
    } else if (event == platform::kTcpDisconnect) {
        StatusText = kTextServerClosed;
        SetTimeout();
        TcpHandle = 0;
        TcpConnected = 0;
    }
    return 0;
}

void CloseLink() {
    if (TcpConnected) {
        platform::DisconnectFromTCPServer(TcpHandle);
    }
    TcpConnected = 0;
    TcpHandle = 0;
    CloseOpenedComPort();
}

bool LinkOpen() {
    return TcpConnected != 0 || OpenedComPort != 0;
}

void ResetLinkState() {
    HoldLinkForStream(false);
    CloseLink();
    ComProtocol = kProtocolRs232;
    ComPort = 1;
    BaudrateIndex = 4;
    ServerAddress.clear();
    ServerPort = 10001;
    LinkResult = 0;
    LinkOk = 0;
    AcquisitionRunning = 0;
    ComErrorBits = 0;
    RxCount = 0;
    StatusText.clear();
    SensorIdText.clear();
    std::memset(TxFrame, 0, sizeof TxFrame);
    std::memset(TxBuffer, 0, sizeof TxBuffer);
    std::memset(RxBuffer, 0, sizeof RxBuffer);
    AnswerOrder = 0;
    AnswerParam = 0;
    AnswerLength = 0;
    AnswerDataCrc = 0;
}

} // namespace com232
