// The TCP client on plain POSIX sockets: a connect bounded by the caller's
// time-out (tcp_connect.cpp), a read notifier that moves arriving bytes
// into the conversation's own buffer, and direct send/recv calls. A request and its
// answer thus cost one send and one recv on a worker (one send, one poll and
// one recv for the window's link), which matters when the live loop
// exchanges thousands of frames a second.
#include "platform/tcp_client.h"

#include "platform/interrupt.h"
#include "platform/runtime.h"
#include "platform/tcp_connect.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

struct Conversation {
    int fd = -1;
    QPointer<QSocketNotifier> notifier;
    std::vector<uint8_t> received; // arrived and not read yet, from `head` on
    size_t head = 0;
    TcpCallback callback = nullptr;
    void* callbackData = nullptr;
    bool closedByPeer = false;
    bool unwatched = false;   // its events are not dispatched (ClientTCPWatchEvents)
    int lostError = 0;        // errno of a connection that broke (0: closed by the peer)
    int receiveTimeoutMs = 0; // the socket's receive time-out as last set (0: none)

    size_t Waiting() const { return received.size() - head; }
};

// The table's structure is guarded, as links on several threads open and
// close their connections at once. A conversation itself is used by the
// thread that opened it; only one with a callback is also touched by the
// event dispatch, and that runs on the same (user-interface) thread.
std::mutex gMutex;
std::map<unsigned, Conversation> gConversations;
unsigned gNextHandle = 1;
bool gDispatchScheduled = false;
bool gDispatching = false;

void ScheduleDispatch() {
    if (gDispatchScheduled) {
        return;
    }
    gDispatchScheduled = true;
    QTimer::singleShot(0, [] {
        gDispatchScheduled = false;
        DispatchTcpEvents();
    });
}

Conversation* Find(unsigned handle) {
    std::lock_guard<std::mutex> lock(gMutex);
    auto it = gConversations.find(handle);
    return it == gConversations.end() ? nullptr : &it->second;
}

// 0: the peer closed; an error: the connection is gone (for a peer that
// vanished silently, the failed keep-alive probes say so).
void NoteLost(Conversation& c, int error) {
    c.closedByPeer = true;
    c.lostError = error;
    if (c.notifier) {
        c.notifier->setEnabled(false);
    }
}

// Once everything received was read, the buffer starts again from its
// beginning rather than growing.
void Reclaim(Conversation& c) {
    if (c.head > 0 && c.head == c.received.size()) {
        c.received.clear();
        c.head = 0;
    }
}

// Moves everything the socket holds into the conversation's buffer; notes
// the peer's close or a broken connection.
void Drain(Conversation& c) {
    if (c.fd < 0 || c.closedByPeer) {
        return;
    }
    Reclaim(c);
    uint8_t chunk[4096];
    for (;;) {
        const ssize_t n = ::recv(c.fd, chunk, sizeof chunk, MSG_DONTWAIT);
        if (n > 0) {
            c.received.insert(c.received.end(), chunk, chunk + n);
            if (static_cast<size_t>(n) < sizeof chunk) {
                return;
            }
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return;
        }
        NoteLost(c, n < 0 ? errno : 0);
        return;
    }
}

// Waits up to `timeoutMs` for bytes and moves them into the buffer, in one
// call that sleeps in the receive itself: a wait by poll and a read after it
// are two calls into the system and two wake-ups on every exchange. For a
// conversation the event loop does not watch (a link on a worker thread);
// the receive time-out counts in the kernel's ticks, too coarse for the
// short waits of a link serving events. False when nothing came.
bool ReceiveWaiting(Conversation& c, int timeoutMs) {
    if (c.fd < 0 || c.closedByPeer) {
        return false;
    }
    if (timeoutMs <= 0) { // a time-out of 0 would be no time-out at all
        Drain(c);
        return c.Waiting() > 0 || c.closedByPeer;
    }
    if (timeoutMs != c.receiveTimeoutMs) {
        timeval tv{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
        if (::setsockopt(c.fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv) != 0) {
            return false;
        }
        c.receiveTimeoutMs = timeoutMs;
    }
    Reclaim(c);
    uint8_t chunk[4096];
    ssize_t n = 0;
    do {
        n = ::recv(c.fd, chunk, sizeof chunk, 0);
    } while (n < 0 && errno == EINTR && !InterruptRequested());
    if (n > 0) {
        c.received.insert(c.received.end(), chunk, chunk + n);
        if (static_cast<size_t>(n) == sizeof chunk) {
            Drain(c);
        }
        return true;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
        return false;
    }
    NoteLost(c, n < 0 ? errno : 0);
    return true; // the close is news to the reader
}

// Waits up to `timeoutMs` until bytes (or the close) can be read; a
// conversation the event loop does not watch receives them at once.
bool WaitForBytes(Conversation& c, int timeoutMs) {
    if (c.notifier.isNull() || c.unwatched) {
        return ReceiveWaiting(c, timeoutMs);
    }
    pollfd p{c.fd, POLLIN, 0};
    int ready = 0;
    do {
        ready = ::poll(&p, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0) {
        return false;
    }
    Drain(c);
    return true;
}

void OnReadable(unsigned handle) {
    Conversation* c = Find(handle);
    if (c == nullptr || c->unwatched) {
        return;
    }
    Drain(*c);
    // ProcessSystemEvents dispatches on its way out; only the plain event
    // loop needs a dispatch scheduled.
    if (!InsideProcessSystemEvents()) {
        ScheduleDispatch();
    }
}

// Closes the socket; the notifier goes later, as its own activation may be
// further up the stack.
void Forget(unsigned handle) {
    Conversation c;
    {
        std::lock_guard<std::mutex> lock(gMutex);
        auto it = gConversations.find(handle);
        if (it == gConversations.end()) {
            return;
        }
        c = std::move(it->second);
        gConversations.erase(it);
    }
    if (QSocketNotifier* n = c.notifier.data()) {
        n->setEnabled(false);
        QObject::disconnect(n, nullptr, nullptr, nullptr);
        n->deleteLater();
    }
    if (c.fd >= 0) {
        ::close(c.fd);
    }
}

} // namespace

int ConnectToTCPServerEx(unsigned* handle, unsigned port, const std::string& host,
                         TcpCallback callback, void* callbackData, unsigned timeoutMs,
                         unsigned localPort) {
    if (handle == nullptr || host.empty() || port == 0 || port > 65535 || localPort > 65535) {
        return kTcpInvalidParameter;
    }
    int fd = -1;
    if (const int code = ConnectTcpSocket(host, port, timeoutMs, localPort, &fd); code != 0) {
        return code;
    }
    unsigned h = 0;
    Conversation* c = nullptr;
    {
        std::lock_guard<std::mutex> lock(gMutex);
        h = gNextHandle++;
        c = &gConversations[h];
        c->fd = fd;
        c->callback = callback;
        c->callbackData = callbackData;
    }
    // Only a conversation with a callback is watched by the event loop; one
    // without (a link on a worker thread) is read directly, and finds the
    // peer's close when it reads.
    if (callback != nullptr) {
        c->notifier = new QSocketNotifier(fd, QSocketNotifier::Read);
        QObject::connect(c->notifier.data(), &QSocketNotifier::activated, [h] { OnReadable(h); });
    }
    *handle = h;
    return 0;
}

int DisconnectFromTCPServer(unsigned handle) {
    if (Find(handle) == nullptr) {
        return kTcpNoConnectionEstablished;
    }
    Forget(handle);
    return 0;
}

int ClientTCPWrite(unsigned handle, const void* data, size_t count, unsigned timeoutMs) {
    Conversation* c = Find(handle);
    if (c == nullptr) {
        return kTcpNoConnectionEstablished;
    }
    if (c->closedByPeer) {
        return kTcpConnectionClosed;
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    size_t sent = 0;
    while (sent < count) {
        const ssize_t n = ::send(c->fd, bytes + sent, count - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{c->fd, POLLOUT, 0};
            const int left = MsUntil(deadline);
            if (left <= 0 || ::poll(&p, 1, left) == 0) {
                return kTcpTimeOutErr;
            }
            continue;
        }
        return kTcpWriteFailed;
    }
    return static_cast<int>(count);
}

int ClientTCPRead(unsigned handle, void* buffer, size_t count, unsigned timeoutMs) {
    Conversation* c = Find(handle);
    if (c == nullptr) {
        return kTcpNoConnectionEstablished;
    }
    if (count == 0) {
        return 0;
    }
    if (c->Waiting() == 0) {
        Drain(*c);
    }
    if (c->Waiting() == 0) {
        if (c->closedByPeer) {
            return kTcpConnectionClosed;
        }
        if (timeoutMs == 0) {
            return kTcpTimeOutErr; // the draining found nothing: nothing to wait for
        }
        if (!WaitForBytes(*c, static_cast<int>(timeoutMs))) {
            return kTcpTimeOutErr;
        }
        if (c->Waiting() == 0) {
            return c->closedByPeer ? kTcpConnectionClosed : kTcpReadFailed;
        }
    }
    const size_t n = std::min(count, c->Waiting());
    std::memcpy(buffer, c->received.data() + c->head, n);
    c->head += n;
    return static_cast<int>(n);
}

size_t ClientTCPBytesWaiting(unsigned handle) {
    const Conversation* c = Find(handle);
    return c == nullptr ? 0 : c->Waiting();
}

bool ClientTCPWaitReadable(unsigned handle, unsigned timeoutMs) {
    Conversation* c = Find(handle);
    if (c == nullptr || c->closedByPeer) {
        return false;
    }
    return c->Waiting() > 0 || WaitForBytes(*c, static_cast<int>(timeoutMs));
}

int ClientTCPLost(unsigned handle) {
    const Conversation* c = Find(handle);
    if (c == nullptr) {
        return kTcpNoConnectionEstablished;
    }
    if (!c->closedByPeer || c->Waiting() > 0) {
        return 0;
    }
    return c->lostError == 0           ? kTcpConnectionClosed
           : c->lostError == ETIMEDOUT ? kTcpTimeOutErr
                                       : kTcpReadFailed;
}

void ClientTCPWatchEvents(unsigned handle, bool on) {
    Conversation* c = Find(handle);
    if (c == nullptr || c->callback == nullptr) {
        return;
    }
    c->unwatched = !on;
    if (QSocketNotifier* n = c->notifier.data()) {
        n->setEnabled(on && !c->closedByPeer);
    }
}

void DispatchTcpEvents() {
    if (gDispatching) {
        return;
    }
    gDispatching = true;
    std::vector<unsigned> handles;
    {
        std::lock_guard<std::mutex> lock(gMutex);
        handles.reserve(gConversations.size());
        for (const auto& [h, c] : gConversations) {
            if (c.callback != nullptr && !c.unwatched) {
                handles.push_back(h);
            }
        }
    }
    for (unsigned h : handles) {
        Conversation* c = Find(h);
        if (c == nullptr) {
            continue; // closed by an earlier callback
        }
        if (c->Waiting() > 0 && c->callback != nullptr) {
            c->callback(h, kTcpDataReady, 0, c->callbackData);
        }
        c = Find(h);
        // The peer's close is reported after the last data it sent.
        if (c != nullptr && c->closedByPeer) {
            const TcpCallback closeCb = c->callback;
            void* closeData = c->callbackData;
            const int code = c->lostError == 0           ? kTcpConnectionClosed
                             : c->lostError == ETIMEDOUT ? kTcpTimeOutErr
                                                         : kTcpReadFailed;
            Forget(h);
            if (closeCb != nullptr) {
                closeCb(h, kTcpDisconnect, code, closeData);
            }
        }
    }
    gDispatching = false;
}

size_t OpenTcpConnectionCount() {
    std::lock_guard<std::mutex> lock(gMutex);
    return gConversations.size();
}

} // namespace platform
