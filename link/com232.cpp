// The request/answer exchange over the link's transport, and the frames read
// from it: received bytes collect in RxBuffer (RxCount of them) and the
// frame reader checks the frame at its front.
#include "link/com232.h"

#include "link/crc8.h"
#include "link/link_texts.h"
#include "platform/interrupt.h"
#include "platform/runtime.h"
#include "platform/worker_thread.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace com232 {
namespace {

// While bytes are awaited, the transport is asked for them directly for up
// to this long at a time; the user interface is served every few
// milliseconds in between, and an exchange whose answer is already there
// ends without a pass through the event loop unless one is due.
constexpr int kQuickWaitMs = 1;
constexpr double kEventIntervalSeconds = 0.005;
// An exchange whose answer came at once serves the user interface when it
// was last served this long ago (within a screen refresh): waits serve it
// while an answer travels, where it costs no time.
constexpr double kEventOverdueSeconds = 0.012;
// A blocking wait looks for a cancel at least this often.
constexpr int kBlockSliceMs = 20;

} // namespace

SensorLink::SensorLink(WaitPolicy policy)
    : policy_(policy), transport_(MakeNoTransport()), reader_(RxBuffer, kRxBufferSize, &RxCount) {}

SensorLink::~SensorLink() {
    transport_->Close();
}

int SensorLink::Fail(const char* text) {
    StatusText = text;
    SetTimeout();
    return -1;
}

// A request while another waits for its answer, or while a loop takes
// unasked frames from the link, is refused: the running exchange and its
// buffers stay intact.
bool SensorLink::RefusedAsNested() {
    if (lent_) {
        if (std::this_thread::get_id() != lender_) {
            return false; // the worker's own exchange
        }
        // The worker's flags are its own meanwhile; the refused caller
        // learns of the refusal from the result.
        message.Notify(std::string(kTextLinkBusy) + "\n\n");
        return true;
    }
    if (!exchangeRunning_ && !streamHeld_) {
        return false;
    }
    LinkOk = 0;
    message.Notify(std::string(kTextLinkBusy) + "\n\n");
    return true;
}

bool SensorLink::ReportsDeferred() const {
    return lent_ && std::this_thread::get_id() != lender_;
}

void SensorLink::Tell(platform::Notifier<const std::string&>& n, const std::string& text) {
    if (ReportsDeferred()) {
        deferred_.emplace_back(&n == &failed, text);
    } else {
        n.Notify(text);
    }
}

void SensorLink::Lend(void* workerThread) {
    if (lent_) {
        return;
    }
    lent_ = true;
    lender_ = std::this_thread::get_id();
    lenderThread_ = platform::CurrentThreadToken();
    lenderPolicy_ = policy_;
    policy_ = WaitPolicy::Block;
    lostWhileLent_ = false;
    deferred_.clear();
    transport_->WatchEvents(false);
    transport_->GiveToThread(workerThread);
}

void SensorLink::GiveBack() {
    transport_->GiveToThread(lenderThread_);
}

void SensorLink::TakeBack() {
    if (!lent_) {
        return;
    }
    lent_ = false;
    policy_ = lenderPolicy_;
    if (lostWhileLent_) {
        transport_->Close(); // as the window's close event leaves it
    } else {
        transport_->WatchEvents(true);
    }
    lostWhileLent_ = false;
    std::vector<std::pair<bool, std::string>> reports;
    reports.swap(deferred_);
    for (const auto& [isFailure, text] : reports) {
        (isFailure ? failed : message).Notify(text);
    }
}

void SensorLink::ReportLostWhileLent(const char* text) {
    if (lostWhileLent_) {
        return;
    }
    lostWhileLent_ = true;
    TcpConnected = 0;
    StatusText = text;
    SetTimeout();
}

void SensorLink::WriteRequest(int frameLength) {
    if (frameLength < 0 || frameLength > static_cast<int>(kTxBufferSize)) {
        frameLength = static_cast<int>(kTxBufferSize);
    }
    transport_->Write(TxBuffer, static_cast<size_t>(frameLength));
}

bool SensorLink::CancelRequested() const {
    return cancel_ || platform::InterruptRequested();
}

void SensorLink::RequestCancel() {
    cancel_ = true;
    AcquisitionRunning = 0;
}

// Waits up to the answer time-out until RxBuffer holds `needed` bytes.
// True when the wait timed out (or was given up).
bool SensorLink::AwaitBytes(size_t needed) {
    const double start = platform::Timer();
    // A blocking link waits before it first reads: right after a request
    // its answer is not there yet, and a read that finds nothing is one
    // more call into the system on every exchange.
    bool waitFirst = policy_ == WaitPolicy::Block;
    for (;;) {
        if (reader_.Size() < needed) { // the header's read may have brought the rest
            if (waitFirst) {
                waitFirst = false;
                AwaitMoreBytes();
            }
            PullReceived();
        }
        if (reader_.Size() >= needed) {
            return false;
        }
        if (CancelRequested()) {
            return true; // given up at once: nothing more is read
        }
        if (policy_ == WaitPolicy::Block) {
            if (const char* lost = transport_->LostText()) {
                if (!lent_) {
                    lostText_ = lost; // reported as the failure instead of no answer
                    return true;
                }
                ReportLostWhileLent(lost);
            }
        }
        if (platform::Timer() - start > answerTimeout_) {
            const size_t missing = std::min(needed - reader_.Size(), reader_.Room());
            const size_t n = transport_->ReadAfterTimeOut(reader_.Tail(), missing);
            reader_.Added(n);
            bytesReceived_ += n;
            return true;
        }
        AwaitMoreBytes();
    }
}

// Waits for the part of the answer that ends `needed` bytes into RxBuffer;
// a time-out or a line error is reported as no answer.
bool SensorLink::AwaitAnswerPart(size_t needed) {
    const bool timedOut = AwaitBytes(needed);
    ComErrorBits = transport_->LineErrors();
    return !timedOut && ComErrorBits <= 0;
}

void SensorLink::SetAnswerTimeout(double seconds) {
    answerTimeout_ = seconds > 0 ? seconds : kAnswerTimeoutSeconds;
}

void SensorLink::SetSerialPortTimeout(double seconds) {
    serialPortTimeout_ = seconds > 0 ? seconds : kSerialPortTimeoutSeconds;
    transport_->SetPortTimeOut(serialPortTimeout_);
}

void SensorLink::SetConnectTimeout(unsigned ms) {
    connectTimeoutMs_ = ms > 0 ? ms : kTcpConnectTimeoutMs;
}

void SensorLink::FillTxBuf(uint8_t order, uint16_t param, uint16_t dataLength) {
    if (dataLength > kMaxRequestData) {
        dataLength = static_cast<uint16_t>(kMaxRequestData);
    }
    EncodeHeader(order, param, dataLength, crc8Update(TxFrame, kHeaderSize, dataLength), TxFrame);
    std::memcpy(TxBuffer, TxFrame, kHeaderSize + dataLength);
}

int SensorLink::CheckHeaderCRC() {
    FrameHeader h;
    if (reader_.FrontHeader(&h) != FrontState::kNeedData) {
        return Fail(kTextBadHeader);
    }
    AnswerOrder = h.order;
    AnswerParam = h.param;
    AnswerLength = h.length;
    AnswerDataCrc = h.dataCrc;
    return 1;
}

void SensorLink::SetTimeout() {
    AcquisitionRunning = 0;
    LinkOk = 0;
    Tell(failed, StatusText);
}

int SensorLink::SendRequest(int frameLength) {
    if (RefusedAsNested()) {
        return -1;
    }
    WriteRequest(frameLength);
    return 1;
}

int SensorLink::DataExchange(int frameLength) {
    if (RefusedAsNested()) {
        return -1;
    }
    exchangeRunning_ = true;
    std::memset(RxBuffer, 0, sizeof RxBuffer);
    ComErrorBits = 0;
    // Bytes of a late answer to an earlier request are dropped, so they
    // cannot be taken for the answer to this one.
    DropReceived();
    WriteRequest(frameLength);
    int result = GetHeaderFrame();
    if (result == 1 && AnswerLength != 0) {
        result = GetDataFrame();
    }
    // Still inside the exchange: a request from a callback run now is
    // refused and cannot take the answer's place in RxBuffer.
    ServeEventsIfDue(eventsWanted_ ? 0 : kEventOverdueSeconds);
    eventsWanted_ = false;
    exchangeRunning_ = false;
    return result;
}

int SensorLink::GetHeaderFrame() {
    lostText_ = nullptr;
    if (!AwaitAnswerPart(kHeaderSize)) {
        return Fail(lostText_ != nullptr ? lostText_ : kTextNoAnswer);
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

int SensorLink::GetDataFrame() {
    if (AnswerLength > kMaxAnswerData) {
        return Fail(kTextBadHeader); // would not fit behind the header
    }
    lostText_ = nullptr;
    if (!AwaitAnswerPart(kHeaderSize + AnswerLength)) {
        return Fail(lostText_ != nullptr ? lostText_ : kTextNoAnswer);
    }
    FrameHeader h;
    if (reader_.Front(&h) != FrontState::kComplete) {
        return Fail(kTextBadData);
    }
    return 1;
}

size_t SensorLink::PullReceived() {
    const size_t n = transport_->Read(reader_.Tail(), reader_.Room());
    reader_.Added(n);
    bytesReceived_ += n;
    return n;
}

void SensorLink::ServeEventsIfDue(double interval) {
    if (policy_ == WaitPolicy::ServeEvents && platform::Timer() - lastEvents_ >= interval) {
        platform::ProcessPendingEvents();
        lastEvents_ = platform::Timer();
    }
}

void SensorLink::AwaitMoreBytes() {
    if (policy_ == WaitPolicy::Block) {
        if (lostWhileLent_) {
            // Nothing more can come; the wait ends by its time-out.
            std::this_thread::sleep_for(std::chrono::milliseconds(kBlockSliceMs));
        } else {
            transport_->WaitReadable(kBlockSliceMs);
        }
        return;
    }
    // The events are served without waiting for more: the bytes are awaited
    // on the transport, which wakes as soon as they come.
    ServeEventsIfDue(kEventIntervalSeconds);
    transport_->WaitReadable(kQuickWaitMs);
}

void SensorLink::Pause(double seconds) {
    const double end = platform::Timer() + seconds;
    while (platform::Timer() < end && !CancelRequested()) {
        if (policy_ == WaitPolicy::ServeEvents) {
            platform::ProcessSystemEvents();
        } else {
            const double left = end - platform::Timer();
            const int ms = std::clamp(static_cast<int>(left * 1000.0), 1, kBlockSliceMs);
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        }
    }
}

int SensorLink::LineErrors() {
    return transport_->LineErrors();
}

bool SensorLink::WholeFrameReceived() const {
    return reader_.WholeFrameAtFront();
}

void SensorLink::DropAnswer() {
    reader_.Drop(kHeaderSize + AnswerLength);
}

void SensorLink::DropReceived() {
    transport_->DropReceived();
    reader_.Clear();
}

void SensorLink::Reset() {
    streamHeld_ = false;
    exchangeRunning_ = false;
    eventsWanted_ = false;
    cancel_ = false;
    CloseLink();
    ComProtocol = kProtocolRs232;
    ComPort = 1;
    BaudrateIndex = kDefaultBaudrateIndex;
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
