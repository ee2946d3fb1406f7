// The sensor link: one object per sensor, holding the link settings and
// state, the frame buffers, the request/answer exchange with its time-outs
// over the transport in use (link/transport.h) and the frames read from it
// as they come. Several links live side by side, each used by one thread at
// a time (the user-interface thread of a window, or a sensor's worker).
#pragma once

#include "link/frame.h"
#include "link/frame_reader.h"
#include "link/transport.h"
#include "platform/notifier.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace com232 {

constexpr uint16_t kProtocolRs232 = 0;
constexpr uint16_t kProtocolTcp = 1;
constexpr uint16_t kDefaultBaudrateIndex = 4; // 115200

constexpr double kAnswerTimeoutSeconds = 3.0;
constexpr double kSerialPortTimeoutSeconds = 2.0;
constexpr unsigned kTcpConnectTimeoutMs = 5000;
constexpr unsigned kTcpWriteTimeoutMs = 2000;
constexpr unsigned kTcpReadTimeoutMs = 5000;

// Bits per second of a baud-rate index; any other index gives 115200.
long BaudrateOfIndex(unsigned index);

// How a link waits for bytes.
enum class WaitPolicy {
    // On a window's user-interface thread: the wait processes the window's
    // events, so STOP and the other buttons work while a loop runs.
    ServeEvents,
    // On a worker thread: the wait blocks on the transport and never
    // processes events; RequestCancel ends it.
    Block,
};

class SensorLink {
public:
    explicit SensorLink(WaitPolicy policy = WaitPolicy::ServeEvents);
    ~SensorLink();
    SensorLink(const SensorLink&) = delete;
    SensorLink& operator=(const SensorLink&) = delete;

    // ---- link settings --------------------------------------------------
    uint16_t ComProtocol = kProtocolRs232;          // 0 RS-232, 1 TCP/IP
    uint16_t ComPort = 1;                           // serial port number
    uint16_t BaudrateIndex = kDefaultBaudrateIndex; // 0..7, see BaudrateOfIndex
    std::string ServerAddress;
    unsigned ServerPort = 10001;

    // ---- link state -----------------------------------------------------
    uint16_t TcpConnected = 0;
    uint16_t OpenedComPort = 0; // the serial port InitRS232 opened; 0 while none is open
    int LinkResult = 0;
    uint16_t LinkOk = 0;                         // sticky success flag of a sequence of exchanges
    std::atomic<uint16_t> AcquisitionRunning{0}; // run flag of the acquisition loops
    int ComErrorBits = 0;
    int RxCount = 0;
    std::string StatusText; // the last failure message (at most 255 characters shown)
    std::string SensorIdText;

    // ---- frame buffers --------------------------------------------------
    uint8_t TxFrame[kTxBufferSize] = {};  // header + request data; callers fill the data first
    uint8_t TxBuffer[kTxBufferSize] = {}; // the bytes actually sent
    uint8_t RxBuffer[kRxBufferSize] = {}; // answer header at 0, data at 8, RxCount bytes received
    // Request data area of TxFrame.
    uint8_t* TxData() { return TxFrame + kHeaderSize; }
    // Answer data area of RxBuffer.
    const uint8_t* RxData() const { return RxBuffer + kHeaderSize; }

    uint8_t AnswerOrder = 0;
    uint16_t AnswerParam = 0;
    uint16_t AnswerLength = 0;
    uint8_t AnswerDataCrc = 0;

    // Fills the header of TxFrame (both CRCs) and copies 8 + dataLength
    // bytes to TxBuffer. A length beyond the request data area is cut to it.
    void FillTxBuf(uint8_t order, uint16_t param, uint16_t dataLength);

    // Checks the header at the start of RxBuffer (which must hold its 8
    // bytes) with the frame reader; on success sets the four answer fields
    // and returns 1. A bad CRC, a wrong start byte or an announced length
    // that does not fit behind the header is reported and gives -1.
    int CheckHeaderCRC();

    // ---- transports and exchange ----------------------------------------
    // Open the serial port ComPort at BaudrateIndex, or the TCP connection
    // to ServerAddress:ServerPort, as this link's transport (the one before
    // is closed). InitRS232 with a device path opens that device instead of
    // ComPort's (links followed) and sets ComPort to its COM number, or to
    // platform::kComPortOfPath for a device that has none (/dev/ttyAMA0).
    void InitRS232(const std::string& devicePath = "");
    void InitTCP_IP();

    // Sends the first frameLength bytes of TxBuffer and waits for the
    // answer. Returns 1 for a complete, correct answer, -1 after a reported
    // failure.
    int DataExchange(int frameLength);
    // Sends the first frameLength bytes of TxBuffer and returns at once,
    // leaving RxBuffer, RxCount and the input as they are: for a request
    // sent while unasked frames are still arriving (BREAK SCAN during a
    // scope capture), whose answer comes behind those frames and is taken
    // with GetHeaderFrame and GetDataFrame. Refused (-1) like a nested
    // DataExchange while an exchange waits or a stream holds the link; 1
    // once sent.
    int SendRequest(int frameLength);
    // The next exchange serves the user interface once its answer is in,
    // however recently it was served: a change the user is to see (the
    // blinking of CALC CF) shows even while answers come faster than the
    // screen refreshes.
    void ServeEventsAtNextAnswer() { eventsWanted_ = true; }
    // True while an exchange waits for its answer, or while the link is lent
    // to a worker (a loop must not start one nested inside it).
    bool ExchangeRunning() const { return lent_ || exchangeRunning_; }
    // Wait up to the answer time-out until the header (8 bytes), then the
    // data part (8 + AnswerLength bytes) of the frame at the start of
    // RxBuffer are there, and check it (a cancel or an interrupt request
    // ends the wait at once as an answer that did not come); 1 or -1 after a
    // reported failure. GetHeaderFrame also reports the error answers
    // (order 0, code 1 or 2).
    int GetHeaderFrame();
    int GetDataFrame();

    // ---- frames as they come --------------------------------------------
    // For the loops that take frames the sensor sends by itself (triggered
    // recording, scope blocks), on whichever transport is open.
    // Reads what the transport holds into RxBuffer behind the RxCount bytes
    // there, without waiting; returns the count added.
    size_t PullReceived();
    // One step of a wait for more bytes: a short wait on the transport,
    // after a pass of event processing when one is due (every few
    // milliseconds) under WaitPolicy::ServeEvents.
    void AwaitMoreBytes();
    // Waits `seconds` (a timed recording's pause) as the policy says:
    // serving events, or asleep until the time is up or a cancel comes.
    void Pause(double seconds);
    // Line error bits of the transport since the last call; positive when
    // the line has failed (a TCP hang-up is reported by the link as it
    // happens).
    int LineErrors();
    // Bytes received from the transport since the link was made.
    unsigned long long BytesReceived() const { return bytesReceived_; }
    // True when RxBuffer starts with a whole frame (a good header and all
    // its data).
    bool WholeFrameReceived() const;
    // Removes the frame at the start of RxBuffer (its header and
    // AnswerLength data bytes); the bytes received behind it move to the
    // front.
    void DropAnswer();
    // Drops everything received and not yet taken, in RxBuffer and in the
    // transport.
    void DropReceived();

    // While a loop takes unasked frames straight from the link (triggered
    // recording), a request from elsewhere is refused like a nested one, so
    // it can neither take those frames nor drop them as stale bytes.
    void HoldLinkForStream(bool hold) { streamHeld_ = hold; }

    // The common failure report: clears AcquisitionRunning and LinkOk and
    // announces StatusText through `failed`.
    void SetTimeout();

    // Closes whatever the link has open. Before a new connection, in offline
    // mode and at shutdown.
    void CloseLink();
    // True while the link holds a serial port or a TCP connection.
    bool LinkOpen() const;

    // The transport in use; a closed stand-in while none is open.
    Transport& Wire() { return *transport_; }
    // Replaces the transport in use, closing the one before.
    void UseTransport(std::unique_ptr<Transport> t);

    // ---- time-outs, waiting, cancelling --------------------------------
    double AnswerTimeoutSeconds() const { return answerTimeout_; }
    double SerialPortTimeoutSeconds() const { return serialPortTimeout_; }
    unsigned ConnectTimeoutMs() const { return connectTimeoutMs_; }
    // A value <= 0 restores the link's own time-out. Tests and searches
    // shorten them; an open port takes the new value at once, the connect
    // time-out the next InitTCP_IP.
    void SetAnswerTimeout(double seconds);
    void SetSerialPortTimeout(double seconds);
    void SetConnectTimeout(unsigned ms);

    WaitPolicy Policy() const { return policy_; }
    void SetWaitPolicy(WaitPolicy policy) { policy_ = policy; }
    // From any thread: ends the wait in progress (and every wait until
    // ClearCancel) as an answer that did not come, and clears
    // AcquisitionRunning.
    void RequestCancel();
    void ClearCancel() { cancel_ = false; }
    bool CancelRequested() const;

    // ---- lending the link to a worker ---------------------------------
    // A window's loop may run its exchanges on a worker thread, so that they
    // never wait for the window's drawing. From Lend (on the window's
    // thread, with the worker's platform::ThreadToken) until TakeBack (on
    // the same thread, once the worker has called GiveBack and ended) the
    // worker alone exchanges, blocking on the transport: a request from the
    // window's thread is refused as a nested one, the transport gets no
    // events from the window, and the failures reported meanwhile are told
    // by TakeBack, in order, on the window's thread. A TCP connection found
    // closed meanwhile is reported as the window reports it: at once, while
    // the wait in progress goes on to its time-out.
    void Lend(void* workerThread);
    void GiveBack(); // on the worker, its last use of the link
    void TakeBack();
    bool Lent() const { return lent_; }

    // ---- what the link tells ------------------------------------------
    // Every failure report (SetTimeout), with StatusText.
    platform::Notifier<const std::string&> failed;
    // Texts for the connection page's message box that are not failures
    // (a refused nested request, plausibility reports).
    platform::Notifier<const std::string&> message;

    // Start values of every setting, flag and buffer; the time-outs and the
    // policy stay.
    void Reset();

private:
    int Fail(const char* text);
    bool RefusedAsNested();
    void WriteRequest(int frameLength);
    bool AwaitBytes(size_t needed);
    bool AwaitAnswerPart(size_t needed);
    // Processes the pending events when the last pass is `interval` seconds
    // ago (WaitPolicy::ServeEvents): STOP and the blinking buttons are
    // served, without a pass per exchange.
    void ServeEventsIfDue(double interval);
    // True on a worker the link is lent to: what it reports waits for TakeBack.
    bool ReportsDeferred() const;
    // Tells `text` through `n`, or keeps it for TakeBack on a worker.
    void Tell(platform::Notifier<const std::string&>& n, const std::string& text);
    // A lent link's TCP connection found closed during a wait: said once.
    void ReportLostWhileLent(const char* text);

    WaitPolicy policy_;
    std::unique_ptr<Transport> transport_;
    FrameReader reader_;
    double answerTimeout_ = kAnswerTimeoutSeconds;
    double serialPortTimeout_ = kSerialPortTimeoutSeconds;
    unsigned connectTimeoutMs_ = kTcpConnectTimeoutMs;
    // When the user interface was last served (WaitPolicy::ServeEvents).
    double lastEvents_ = 0;
    bool eventsWanted_ = false;
    unsigned long long bytesReceived_ = 0;
    // True while DataExchange waits; a second exchange must not start
    // meanwhile, it would overwrite the buffers of the first.
    bool exchangeRunning_ = false;
    // True while a loop reads unasked frames from the link.
    bool streamHeld_ = false;
    std::atomic<bool> cancel_{false};
    // Why a blocking wait found the line gone (a TCP close read on a worker).
    const char* lostText_ = nullptr;
    // Lending (see Lend): set and read only while no worker runs, or read
    // by the worker it was set for.
    bool lent_ = false;
    std::thread::id lender_;
    void* lenderThread_ = nullptr;
    WaitPolicy lenderPolicy_ = WaitPolicy::ServeEvents;
    bool lostWhileLent_ = false;
    // Reports made on the worker: true for `failed`, false for `message`.
    std::vector<std::pair<bool, std::string>> deferred_;
};

} // namespace com232
