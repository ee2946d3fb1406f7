// The request/answer exchange over the transport in use, and the frames
// read from it: received bytes collect in RxBuffer (RxCount of them) and the
// frame reader checks the frame at its front.
#include "link/com232.h"

#include "link/crc8.h"
#include "link/frame_reader.h"
#include "link/link_texts.h"
#include "link/link_ui.h"
#include "link/transport.h"
#include "platform/interrupt.h"
#include "platform/runtime.h"

#include <algorithm>
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

// While bytes are awaited, the transport is asked for them directly for up
// to this long before events are processed again: an answer that follows
// its request within a fraction of a millisecond is taken without a pass
// through the event loop, and the user interface is still served every few
// milliseconds.
constexpr int kQuickWaitMs = 1;
constexpr double kEventIntervalSeconds = 0.005;

double gAnswerTimeout = kAnswerTimeoutSeconds;
double gLastEvents = 0;
// Whether events were processed since the exchange began: each exchange
// serves the user interface at least once (STOP, the blinking of CALC CF),
// however quickly its answer came.
bool gEventsServed = false;
unsigned long long gBytesReceived = 0;

// True while DataExchange waits; a second exchange must not start meanwhile,
// it would overwrite the buffers of the first.
bool gExchangeRunning = false;
// True while a loop reads unasked frames from the link (HoldLinkForStream).
bool gStreamHeld = false;

FrameReader& Reader() {
    static FrameReader reader(RxBuffer, kRxBufferSize, &RxCount);
    return reader;
}

int Fail(const char* text) {
    StatusText = text;
    SetTimeout();
    return -1;
}

// A request while another waits for its answer, or while a loop takes
// unasked frames from the link, is refused: the running exchange and its
// buffers stay intact.
bool RefusedAsNested() {
    if (!gExchangeRunning && !gStreamHeld) {
        return false;
    }
    LinkOk = 0;
    Ui().AppendMessage(std::string(kTextLinkBusy) + "\n\n");
    return true;
}

void WriteRequest(int frameLength) {
    if (frameLength < 0 || frameLength > static_cast<int>(kTxBufferSize)) {
        frameLength = static_cast<int>(kTxBufferSize);
    }
    Link().Write(TxBuffer, static_cast<size_t>(frameLength));
}

// Waits up to the answer time-out until RxBuffer holds `needed` bytes.
// True when the wait timed out.
bool AwaitBytes(size_t needed) {
    const double start = platform::Timer();
    for (;;) {
        PullReceived();
        if (Reader().Size() >= needed) {
            return false;
        }
        if (platform::InterruptRequested()) {
            return true; // given up at once: nothing more is read
        }
        if (platform::Timer() - start > gAnswerTimeout) {
            const size_t missing = std::min(needed - Reader().Size(), Reader().Room());
            const size_t n = Link().ReadAfterTimeOut(Reader().Tail(), missing);
            Reader().Added(n);
            gBytesReceived += n;
            return true;
        }
        AwaitMoreBytes();
    }
}

// Waits for the part of the answer that ends `needed` bytes into RxBuffer;
// a time-out or a line error is reported as no answer.
bool AwaitAnswerPart(size_t needed) {
    const bool timedOut = AwaitBytes(needed);
    ComErrorBits = Link().LineErrors();
    return !timedOut && ComErrorBits <= 0;
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
    if (Reader().FrontHeader(&h) != FrontState::kNeedData) {
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
    // Bytes of a late answer to an earlier request are dropped, so they
    // cannot be taken for the answer to this one.
    DropReceived();
    WriteRequest(frameLength);
    gEventsServed = false;
    int result = GetHeaderFrame();
    if (result == 1 && AnswerLength != 0) {
        result = GetDataFrame();
    }
    if (!gEventsServed) {
        // Still inside the exchange: a request from a callback run now is
        // refused and cannot take the answer's place in RxBuffer.
        platform::ProcessPendingEvents();
        gLastEvents = platform::Timer();
    }
    gExchangeRunning = false;
    return result;
}

int GetHeaderFrame() {
    if (!AwaitAnswerPart(kHeaderSize)) {
        return Fail(kTextNoAnswer);
    }
    if (CheckHeaderCRC() != 1) {
        return -1;
    }
    FrameHeader h;
    h.order = AnswerOrder;
    h.param = AnswerParam;
    if (const char* error = ErrorAnswerText(h)) {
        return Fail(error);
    }
    return 1; // other error codes: the exchange goes on as a regular answer
}

int GetDataFrame() {
    if (AnswerLength > kMaxAnswerData) {
        return Fail(kTextBadHeader); // would not fit behind the header
    }
    if (!AwaitAnswerPart(kHeaderSize + AnswerLength)) {
        return Fail(kTextNoAnswer);
    }
    FrameHeader h;
    if (Reader().Front(&h) != FrontState::kComplete) {
        return Fail(kTextBadData);
    }
    return 1;
}

size_t PullReceived() {
    const size_t n = Link().Read(Reader().Tail(), Reader().Room());
    Reader().Added(n);
    gBytesReceived += n;
    return n;
}

void AwaitMoreBytes() {
    if (platform::Timer() - gLastEvents < kEventIntervalSeconds &&
        Link().WaitReadable(kQuickWaitMs)) {
        return;
    }
    platform::ProcessSystemEvents();
    gLastEvents = platform::Timer();
    gEventsServed = true;
}

int LineErrors() {
    return Link().LineErrors();
}

unsigned long long BytesReceived() {
    return gBytesReceived;
}

bool WholeFrameReceived() {
    return Reader().WholeFrameAtFront();
}

void DropAnswer() {
    Reader().Drop(kHeaderSize + AnswerLength);
}

void DropReceived() {
    Link().DropReceived();
    Reader().Clear();
}

} // namespace com232
