// The sensor link: link settings and state, the shared frame buffers, the
// request/answer exchange with its time-outs over the transport in use
// (link/transport.h), the frames read from it as they come, the common
// failure report and the connection test.
#pragma once

#include "link/frame.h"

#include <cstdint>
#include <string>

namespace com232 {

// ---- link settings ------------------------------------------------------
constexpr uint16_t kProtocolRs232 = 0;
constexpr uint16_t kProtocolTcp = 1;
extern uint16_t ComProtocol;                  // 0 RS-232, 1 TCP/IP
extern uint16_t ComPort;                      // serial port number
extern uint16_t BaudrateIndex;                // 0..7, see BaudrateOfIndex
constexpr uint16_t kDefaultBaudrateIndex = 4; // 115200
extern std::string ServerAddress;
extern unsigned ServerPort;

// Bits per second of a baud-rate index; any other index gives 115200.
long BaudrateOfIndex(unsigned index);

// ---- link state ---------------------------------------------------------
extern unsigned TcpHandle;
extern uint16_t TcpConnected;
extern uint16_t OpenedComPort; // the serial port InitRS232 opened; 0 while none is open
extern int LinkResult;
extern uint16_t LinkOk;             // sticky success flag of a sequence of exchanges
extern uint16_t AcquisitionRunning; // run flag of the acquisition loops
extern int ComErrorBits;
extern int RxCount;
extern std::string StatusText; // the last failure message (at most 255 characters shown)
extern std::string SensorIdText;

// ---- frame buffers ------------------------------------------------------
extern uint8_t TxFrame[kTxBufferSize];  // header + request data; callers fill the data first
extern uint8_t TxBuffer[kTxBufferSize]; // the bytes actually sent
extern uint8_t RxBuffer[kRxBufferSize]; // answer header at 0, data at 8, RxCount bytes received
// Request data area of TxFrame.
inline uint8_t* TxData() {
    return TxFrame + kHeaderSize;
}
// Answer data area of RxBuffer.
inline const uint8_t* RxData() {
    return RxBuffer + kHeaderSize;
}

extern uint8_t AnswerOrder;
extern uint16_t AnswerParam;
extern uint16_t AnswerLength;
extern uint8_t AnswerDataCrc;

// Fills the header of TxFrame (both CRCs) and copies 8 + dataLength bytes to
// TxBuffer. A length beyond the request data area is cut to it.
void FillTxBuf(uint8_t order, uint16_t param, uint16_t dataLength);

// Checks the header at the start of RxBuffer (which must hold its 8 bytes)
// with the frame reader (link/frame_reader.h); on success sets the four
// answer fields and returns 1. A bad CRC, a wrong start byte or an announced
// length that does not fit behind the header is reported and gives -1.
int CheckHeaderCRC();

// ---- transports and exchange ---------------------------------------------
// Open the serial port ComPort at BaudrateIndex, or the TCP connection to
// ServerAddress:ServerPort, as the one transport in use (the one before is
// closed). Only the connection page and the start-up choose. InitRS232 with
// a device path opens that device instead of ComPort's (links followed) and
// sets ComPort to its COM number, or to platform::kComPortOfPath for a
// device that has none (/dev/ttyAMA0, /dev/rfcomm0).
void InitRS232(const std::string& devicePath = "");
void InitTCP_IP();
int ClientTCPCB(unsigned handle, int event, int error, void* callbackData);

// Sends the first frameLength bytes of TxBuffer and waits for the answer.
// Returns 1 for a complete, correct answer, -1 after a reported failure.
int DataExchange(int frameLength);
// Sends the first frameLength bytes of TxBuffer and returns at once, leaving
// RxBuffer, RxCount and the serial input queue as they are: for a request
// sent while unasked frames are still arriving (BREAK SCAN during a scope
// capture), whose answer comes behind those frames and is taken with
// GetHeaderFrame and GetDataFrame. Refused (-1) like a nested DataExchange
// while an exchange waits or a stream holds the link; 1 once sent.
int SendRequest(int frameLength);
// True while an exchange waits for its answer (a loop must not start one
// nested inside it).
bool ExchangeRunning();
// Wait up to the answer time-out until the header (8 bytes), then the data
// part (8 + AnswerLength bytes) of the frame at the start of RxBuffer are
// there, and check it (an interrupt request, platform/interrupt.h, ends the
// wait at once as an answer that did not come); 1 or -1 after a reported failure. GetHeaderFrame
// also reports the error answers (order 0, code 1 or 2).
int GetHeaderFrame();
int GetDataFrame();

// ---- frames as they come ---------------------------------------------------
// For the loops that take frames the sensor sends by itself (triggered
// recording, scope blocks), on whichever transport is open.
// Reads what the transport holds into RxBuffer behind the RxCount bytes
// there, without waiting; returns the count added.
size_t PullReceived();
// One step of a wait for more bytes: a short wait on the transport, or a
// pass of event processing (at least every few milliseconds).
void AwaitMoreBytes();
// Line error bits of the transport since the last call; positive when the
// line has failed (a TCP hang-up is reported by the link as it happens).
int LineErrors();
// Bytes received from the transport since the program started.
unsigned long long BytesReceived();
// True when RxBuffer starts with a whole frame (a good header and all its
// data).
bool WholeFrameReceived();
// Removes the frame at the start of RxBuffer (its header and AnswerLength
// data bytes); the bytes received behind it move to the front.
void DropAnswer();
// Drops everything received and not yet taken, in RxBuffer and in the
// transport.
void DropReceived();

// While a loop takes unasked frames straight from the link (triggered
// recording), a request from elsewhere is refused like a nested one, so it
// can neither take those frames nor drop them as stale bytes.
void HoldLinkForStream(bool hold);

// The common failure report: clears AcquisitionRunning and LinkOk, shows
// "TIMEOUT!", appends StatusText to the message box, dims the link buttons
// and brings the connection page to the front.
void SetTimeout();

// Connection test: identifies the sensor (order 7), checks its firmware and
// reads the parameter set; any failure ends in the CLOSE/OFFLINE question.
void CheckComLine();

// The question after a failed connection: CLOSE ends the program, OFFLINE
// goes into offline mode.
void AskCloseOrOffline(const std::string& message);

// Closes whatever the link has open: the serial port it opened (whatever the
// COM-port setting says by now) and the TCP connection. Before a new
// connection, in offline mode and at shutdown.
void CloseLink();
// True while the link holds a serial port or a TCP connection.
bool LinkOpen();

// Start values of every setting, flag and buffer (start-up and tests).
void ResetLinkState();

// ---- answer time-outs -----------------------------------------------------
constexpr double kAnswerTimeoutSeconds = 3.0;
constexpr double kSerialPortTimeoutSeconds = 2.0;
// The time-outs in effect: the two above unless a test has shortened them.
double AnswerTimeoutSeconds();
double SerialPortTimeoutSeconds();
// Test hooks: shorten the wait for each answer part and the serial port's
// read/write time-out (an open port takes the new value at once), so that
// fault tests run in a fraction of a second. A value <= 0 restores the
// program's own time-out.
void SetAnswerTimeoutForTests(double seconds);
void SetSerialPortTimeoutForTests(double seconds);
constexpr unsigned kTcpConnectTimeoutMs = 5000;
constexpr unsigned kTcpWriteTimeoutMs = 2000;
constexpr unsigned kTcpReadTimeoutMs = 5000;

} // namespace com232
