#include "link/com232.h"

#include "link/crc8.h"
#include "link/link_texts.h"
#include "link/link_ui.h"
#include "platform/runtime.h"
#include "platform/serial_port.h"
#include "platform/tcp_client.h"

#include <cstring>

namespace com232 {

uint16_t ComProtocol = kProtocolRs232;
uint16_t ComPort = 1;
uint16_t BaudrateIndex = 4;
std::string ServerAddress;
unsigned ServerPort = 10001;

unsigned TcpHandle = 0;
uint16_t TcpConnected = 0;
int LinkResult = 0;
uint16_t LinkOk = 0;
uint16_t AcquisitionRunning = 0;
int ComErrorBits = 0;
int RxCount = 0;
std::string StatusText;
std::string SensorIdText;

uint8_t TxFrame[kTxBufferSize];
uint8_t TxBuffer[kTxBufferSize];
uint8_t RxBuffer[kRxBufferSize];

uint8_t AnswerOrder = 0;
uint16_t AnswerParam = 0;
uint16_t AnswerLength = 0;
uint8_t AnswerDataCrc = 0;

namespace {

double gAnswerTimeout = kAnswerTimeoutSeconds;

// True while DataExchange waits; a second exchange must not start meanwhile,
// it would overwrite the buffers of the first.
bool gExchangeRunning = false;
// True while a loop reads unasked frames from the link (HoldLinkForStream).
bool gStreamHeld = false;

int Fail(const char* text) {
    StatusText = text;
    SetTimeout();
    return -1;
}

bool UsesTcp() {
    return ComProtocol == kProtocolTcp;
}

} // namespace

double AnswerTimeoutSeconds() {
    return gAnswerTimeout;
}

void SetAnswerTimeoutForTests(double seconds) {
    gAnswerTimeout = seconds > 0 ? seconds : kAnswerTimeoutSeconds;
}

void FillTxBuf(uint8_t order, uint16_t param, uint16_t dataLength) {
    if (dataLength > kMaxRequestData) {
        dataLength = static_cast<uint16_t>(kMaxRequestData);
    }
    EncodeHeader(order, param, dataLength, crc8Update(TxFrame, kHeaderSize, dataLength), TxFrame);
    std::memcpy(TxBuffer, TxFrame, kHeaderSize + dataLength);
}

int CheckHeaderCRC() {
    FrameHeader h;
    if (!DecodeHeader(RxBuffer, &h) || h.length > kMaxAnswerData) {
        return Fail(kTextBadHeader);
    }
    AnswerOrder = h.order;
    AnswerParam = h.param;
    AnswerLength = h.length;
    AnswerDataCrc = h.dataCrc;
    return 1;
}

void SetTimeout() {
    AcquisitionRunning = 0;
    LinkOk = 0;
    Ui().ShowConnectionStatus(kTextTimeout);
    Ui().AppendMessage(StatusText.substr(0, 255) + "\n\n");
    Ui().DimLinkButtons(true);
    Ui().ShowConnectionPage();
}

bool ExchangeRunning() {
    return gExchangeRunning;
}

void HoldLinkForStream(bool hold) {
    gStreamHeld = hold;
}

// A request while another waits for its answer, or while a loop takes
// unasked frames from the link, is refused: the running exchange and its
// buffers stay intact.
static bool RefusedAsNested() {
    if (!gExchangeRunning && !gStreamHeld) {
        return false;
    }
    LinkOk = 0;
    Ui().AppendMessage(std::string(kTextLinkBusy) + "\n\n");
    return true;
}

static void WriteRequest(int frameLength) {
    if (frameLength < 0 || frameLength > static_cast<int>(kTxBufferSize)) {
        frameLength = static_cast<int>(kTxBufferSize);
    }
    if (UsesTcp()) {
        platform::ClientTCPWrite(TcpHandle, TxBuffer, static_cast<size_t>(frameLength),
                                 kTcpWriteTimeoutMs);
    } else {
        platform::ComWrt(ComPort, TxBuffer, static_cast<size_t>(frameLength));
    }
}

int SendRequest(int frameLength) {
    if (RefusedAsNested()) {
        return -1;
    }
    WriteRequest(frameLength);
    return 1;
}

int DataExchange(int frameLength) {
    if (RefusedAsNested()) {
        return -1;
    }
    gExchangeRunning = true;
    std::memset(RxBuffer, 0, sizeof RxBuffer);
    ComErrorBits = 0;
    if (UsesTcp()) {
        // Bytes of a late answer to an earlier request are dropped, so they
        // cannot be taken for the answer to this one.
        uint8_t stale[256];
        while (TcpConnected && platform::ClientTCPBytesWaiting(TcpHandle) > 0 &&
               platform::ClientTCPRead(TcpHandle, stale, sizeof stale, 0) > 0) {
        }
        RxCount = 0;
    } else {
        platform::FlushInQ(ComPort);
        platform::FlushOutQ(ComPort);
    }
    WriteRequest(frameLength);
    int result = GetHeaderFrame();
    if (result == 1 && AnswerLength != 0) {
        result = GetDataFrame();
    }
    gExchangeRunning = false;
    return result;
}

// Waits up to the answer time-out until `count` bytes of the answer part at
// `offset` (0 for the header, 8 for the data) are there and, on the serial
// line, reads them into RxBuffer. True when the wait timed out.
static bool AwaitAnswerPart(size_t offset, size_t count) {
    const double start = platform::Timer();
    if (UsesTcp()) {
        // The TCP callback collects the answer from offset 0 on.
        while (RxCount < static_cast<int>(offset + count)) {
            if (platform::Timer() - start > gAnswerTimeout) {
                return true;
            }
            platform::ProcessSystemEvents();
        }
        return false;
    }
    bool timedOut = false;
    // Bytes already waiting (the data part usually comes with the header)
    // are taken at once; only an empty queue waits for events.
    RxCount = platform::GetInQLen(ComPort);
    while (RxCount < static_cast<int>(count)) {
        platform::ProcessSystemEvents();
        RxCount = platform::GetInQLen(ComPort);
        if (RxCount < static_cast<int>(count) && platform::Timer() - start > gAnswerTimeout) {
            timedOut = true;
            break;
        }
    }
    // After a time-out the read still runs into the port time-out, as the
    // last bytes may just be arriving.
    ComErrorBits = platform::GetComStat(ComPort);
    platform::ComRd(ComPort, RxBuffer + offset, count);
    return timedOut;
}

int GetHeaderFrame() {
    const bool timedOut = AwaitAnswerPart(0, kHeaderSize);
    if (timedOut || ComErrorBits > 0) {
        return Fail(kTextNoAnswer);
    }
    if (CheckHeaderCRC() != 1) {
        return -1;
    }
    if (AnswerOrder != 0) {
        return 1;
    }
    if (AnswerParam == kErrorInvalidOrder) {
        return Fail(kTextInvalidOrder);
    }
    if (AnswerParam == kErrorCommunication) {
        return Fail(kTextCommunicationError);
    }
    return 1; // other codes: the exchange goes on as a regular answer
}

int GetDataFrame() {
    if (AnswerLength > kMaxAnswerData) {
        return Fail(kTextBadHeader); // would not fit behind the header
    }
    const int needed = static_cast<int>(AnswerLength);
    const bool timedOut = AwaitAnswerPart(kHeaderSize, static_cast<size_t>(needed));
    if (timedOut || ComErrorBits > 0) {
        return Fail(kTextNoAnswer);
    }
    if (crc8Update(RxBuffer, kHeaderSize, static_cast<size_t>(needed)) != AnswerDataCrc) {
        return Fail(kTextBadData);
    }
    return 1;
}

} // namespace com232
