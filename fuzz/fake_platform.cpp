#include "fuzz/fake_platform.h"

#include "platform/com_port_map.h"
#include "platform/popups.h"
#include "platform/runtime.h"
#include "platform/serial_port.h"
#include "platform/tcp_client.h"
#include "platform/worker_thread.h"

#include <algorithm>
#include <cstring>

namespace {

std::vector<uint8_t> gStream;
size_t gDelivered = 0; // bytes of the stream arrived so far
size_t gTaken = 0;     // bytes of the stream read by the link
size_t gPiece = 1;
bool gCloseAtEnd = false;
bool gClosed = false;
double gNow = 0;
double gPass = 0.05;
std::vector<uint8_t> gWritten;

platform::TcpCallback gCallback = nullptr;
void* gCallbackData = nullptr;
const unsigned kHandle = 1;
bool gConnected = false;
bool gPortOpen = false;

size_t Waiting() {
    return gDelivered - gTaken;
}

} // namespace

namespace fake {

void SetAnswerStream(const uint8_t* bytes, size_t size, size_t piece) {
    gStream.assign(bytes, bytes + size);
    gDelivered = 0;
    gTaken = 0;
    gPiece = std::max<size_t>(1, piece);
    gClosed = false;
}

void SetCloseAtEnd(bool close) {
    gCloseAtEnd = close;
}

void SetPassSeconds(double seconds) {
    gPass = seconds;
}

std::vector<uint8_t> TakeWritten() {
    std::vector<uint8_t> w;
    w.swap(gWritten);
    return w;
}

} // namespace fake

namespace platform {

bool InitRuntime(int&, char**) {
    return true;
}
void ShutdownRuntime() {}

// One pass of the clock: the next piece of the stream arrives.
static void PassTime() {
    gNow += gPass;
    gDelivered = std::min(gStream.size(), gDelivered + gPiece);
}

void ProcessSystemEvents() {
    PassTime();
    DispatchTcpEvents();
}

void ProcessPendingEvents() {}
bool InsideProcessSystemEvents() {
    return false;
}

double Timer() {
    return gNow;
}

int RunUserInterface() {
    return 0;
}
void QuitUserInterface(int) {}
bool QuitRequested() {
    return false;
}
void ResetQuitRequest() {}
void SetWaitCursor(int) {}

// ---- TCP ---------------------------------------------------------------------

int ConnectToTCPServerEx(unsigned* handle, unsigned, const std::string&, TcpCallback callback,
                         void* callbackData, unsigned, unsigned) {
    gCallback = callback;
    gCallbackData = callbackData;
    gConnected = true;
    *handle = kHandle;
    return 0;
}

int DisconnectFromTCPServer(unsigned handle) {
    if (handle != kHandle || !gConnected) {
        return kTcpNoConnectionEstablished;
    }
    gConnected = false;
    return 0;
}

int ClientTCPWrite(unsigned handle, const void* data, size_t count, unsigned) {
    if (handle != kHandle || !gConnected) {
        return kTcpNoConnectionEstablished;
    }
    const auto* b = static_cast<const uint8_t*>(data);
    gWritten.insert(gWritten.end(), b, b + count);
    return static_cast<int>(count);
}

int ClientTCPRead(unsigned handle, void* buffer, size_t count, unsigned) {
    if (handle != kHandle || !gConnected) {
        return kTcpNoConnectionEstablished;
    }
    const size_t n = std::min(count, Waiting());
    if (n > 0) {
        std::memcpy(buffer, gStream.data() + gTaken, n);
        gTaken += n;
    }
    return static_cast<int>(n);
}

size_t ClientTCPBytesWaiting(unsigned handle) {
    return handle == kHandle && gConnected ? Waiting() : 0;
}

// A wait for bytes lets the clock pass once, as a real wait lets time pass.
bool ClientTCPWaitReadable(unsigned handle, unsigned) {
    if (ClientTCPBytesWaiting(handle) == 0) {
        PassTime();
    }
    return ClientTCPBytesWaiting(handle) > 0;
}

int ClientTCPLost(unsigned handle) {
    return handle == kHandle && gConnected ? 0 : kTcpNoConnectionEstablished;
}

void DispatchTcpEvents() {
    if (!gConnected || gCallback == nullptr) {
        return;
    }
    if (Waiting() > 0) {
        gCallback(kHandle, kTcpDataReady, 0, gCallbackData);
    }
    if (gConnected && gCloseAtEnd && !gClosed && gDelivered == gStream.size() && Waiting() == 0) {
        gClosed = true;
        gConnected = false;
        gCallback(kHandle, kTcpDisconnect, kTcpConnectionClosed, gCallbackData);
    }
}

size_t OpenTcpConnectionCount() {
    return gConnected ? 1 : 0;
}
void ClientTCPWatchEvents(unsigned, bool) {}

// ---- serial port ---------------------------------------------------------------

int NewComKey() {
    return kComPortOfPath + 1;
}
bool IsComDeviceOpen(const std::string&) {
    return gPortOpen;
}
int OpenComConfig(int, const std::string&, long, int, int, int, int, int) {
    gPortOpen = true;
    return 0;
}
int CloseCom(int) {
    gPortOpen = false;
    return 0;
}
int SetComTime(int, double) {
    return 0;
}
int SetCTSMode(int, int) {
    return 0;
}
int FlushInQ(int) {
    return 0;
}
int FlushOutQ(int) {
    return 0;
}
int ComWrt(int, const void* data, size_t count) {
    const auto* b = static_cast<const uint8_t*>(data);
    gWritten.insert(gWritten.end(), b, b + count);
    return static_cast<int>(count);
}
int ComRd(int, void* buffer, size_t count) {
    // Whatever is still to come arrives within the port time-out.
    gDelivered = std::min(gStream.size(), std::max(gDelivered, gTaken + count));
    const size_t n = std::min(count, Waiting());
    if (n > 0) {
        std::memcpy(buffer, gStream.data() + gTaken, n);
        gTaken += n;
    }
    return static_cast<int>(n);
}
int ComRdArrived(int, void* buffer, size_t room) {
    const size_t n = std::min(room, Waiting());
    if (n > 0) {
        std::memcpy(buffer, gStream.data() + gTaken, n);
        gTaken += n;
    }
    return static_cast<int>(n);
}
int GetInQLen(int) {
    return static_cast<int>(Waiting());
}
bool WaitComReadable(int, int) {
    if (Waiting() == 0) {
        PassTime();
    }
    return Waiting() > 0;
}
int GetComStat(int) {
    return 0;
}
bool IsComOpen(int) {
    return gPortOpen;
}
void GiveComToThread(int, void*) {}
std::vector<SerialPortDescription> ListSerialPorts() {
    return {};
}

// ---- threads -----------------------------------------------------------------------

// One thread: the exchange never leaves it.
ThreadToken CurrentThreadToken() {
    return nullptr;
}

// ---- popups ----------------------------------------------------------------------

void MessagePopup(const std::string&, const std::string&) {}
int ConfirmPopup(const std::string&, const std::string&) {
    return 0;
}
int GenericMessagePopup(const std::string&, const std::string&, const std::string&,
                        const std::string&, const std::string&) {
    return 2;
}

} // namespace platform
