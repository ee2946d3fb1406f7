// TCP client with a data-ready/disconnect callback. Callbacks run on the
// user-interface thread, from the event loop or from ProcessSystemEvents,
// never from inside another TCP callback.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

enum TcpEvent : int { kTcpDataReady = 1, kTcpDisconnect = 2 };

// Error codes of the connect, read and write operations.
constexpr int kTcpUnableToRegisterService = -1;
constexpr int kTcpUnableToEstablishConnection = -2; // connection refused
constexpr int kTcpFailedToConnect = -4;             // host not found, network unreachable
constexpr int kTcpReadFailed = -7;
constexpr int kTcpWriteFailed = -8;
constexpr int kTcpInvalidParameter = -9;
constexpr int kTcpOutOfMemory = -10;
constexpr int kTcpTimeOutErr = -11;
constexpr int kTcpNoConnectionEstablished = -12; // unknown handle
constexpr int kTcpGeneralIOErr = -13;
constexpr int kTcpConnectionClosed = -14;

// A connection whose peer has gone silently (its network gone, not closed)
// is found by keep-alive probes within this many seconds of silence and
// reported as a disconnect with kTcpTimeOutErr.
constexpr int kTcpKeepAliveSeconds = 25;

using TcpCallback = int (*)(unsigned handle, int event, int error, void* callbackData);

// Connects to host:port within timeoutMs; any local port when localPort is 0.
// An interrupt request (platform/interrupt.h) ends the wait with
// kTcpTimeOutErr.
// Returns 0 and the conversation handle, or a negative error code.
int ConnectToTCPServerEx(unsigned* handle, unsigned port, const std::string& host,
                         TcpCallback callback, void* callbackData, unsigned timeoutMs,
                         unsigned localPort);

// Closes the connection; no callback follows. Unknown handles are harmless.
int DisconnectFromTCPServer(unsigned handle);

// Writes all bytes within timeoutMs. Returns the count written or a negative code.
int ClientTCPWrite(unsigned handle, const void* data, size_t count, unsigned timeoutMs);

// Reads what has arrived, at most `count` bytes; waits up to timeoutMs only
// when nothing has arrived yet. Returns the count read or a negative code.
int ClientTCPRead(unsigned handle, void* buffer, size_t count, unsigned timeoutMs);

// Bytes received and not read yet (0 for unknown handles).
size_t ClientTCPBytesWaiting(unsigned handle);

// Blocks up to timeoutMs, without processing events, until bytes can be
// read or the peer's close is found (a read then reports it). False when
// none came, the close was known before or the handle is unknown.
bool ClientTCPWaitReadable(unsigned handle, unsigned timeoutMs);

// 0 while the conversation is there; once a read found it gone (and every
// byte before that was read): kTcpConnectionClosed (closed by the peer),
// kTcpTimeOutErr (keep-alive gave up: the peer vanished) or kTcpReadFailed;
// kTcpNoConnectionEstablished for unknown handles. For conversations
// without a callback, whose close is not dispatched.
int ClientTCPLost(unsigned handle);

// Stops (false) or resumes (true) the event dispatch of a conversation with
// a callback, on the thread that made it: while stopped, the event loop
// neither reads its socket nor reports its close, so another thread may
// use it as one without a callback (a window's link lent to a worker).
void ClientTCPWatchEvents(unsigned handle, bool on);

// Delivers pending data-ready and disconnect events. Called by the event
// loop and by ProcessSystemEvents; a nested call returns at once.
void DispatchTcpEvents();

// Number of open conversations (for tests).
size_t OpenTcpConnectionCount();

} // namespace platform
