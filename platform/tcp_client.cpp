#include "platform/tcp_client.h"

#include "platform/runtime.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <map>
#include <sys/socket.h>
#include <vector>

namespace platform {
namespace {

struct Conversation {
    QPointer<QTcpSocket> socket;
    TcpCallback callback = nullptr;
    void* callbackData = nullptr;
    bool closedByPeer = false;
};

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

int MapSocketError(QAbstractSocket::SocketError e) {
    switch (e) {
    case QAbstractSocket::ConnectionRefusedError:
        return kTcpUnableToEstablishConnection;
    case QAbstractSocket::HostNotFoundError:
    case QAbstractSocket::NetworkError:
        return kTcpFailedToConnect;
    case QAbstractSocket::SocketTimeoutError:
        return kTcpTimeOutErr;
    case QAbstractSocket::SocketResourceError:
        return kTcpOutOfMemory;
    case QAbstractSocket::UnsupportedSocketOperationError:
    case QAbstractSocket::AddressInUseError:
    case QAbstractSocket::SocketAddressNotAvailableError:
        return kTcpInvalidParameter;
    case QAbstractSocket::RemoteHostClosedError:
        return kTcpConnectionClosed;
    default:
        return kTcpGeneralIOErr;
    }
}

QTcpSocket* SocketOf(unsigned handle) {
    auto it = gConversations.find(handle);
    return it == gConversations.end() ? nullptr : it->second.socket.data();
}

// Removes a conversation; the socket object is deleted by the event loop
// later, so a caller further up the stack never holds a dangling pointer.
void Forget(unsigned handle) {
    auto it = gConversations.find(handle);
    if (it == gConversations.end()) {
        return;
    }
    if (QTcpSocket* s = it->second.socket.data()) {
        QObject::disconnect(s, nullptr, nullptr, nullptr);
        s->abort();
        s->deleteLater();
    }
    gConversations.erase(it);
}

} // namespace

int ConnectToTCPServerEx(unsigned* handle, unsigned port, const std::string& host,
                         TcpCallback callback, void* callbackData, unsigned timeoutMs,
                         unsigned localPort) {
    if (handle == nullptr || host.empty() || port == 0 || port > 65535) {
        return kTcpInvalidParameter;
    }
    auto* socket = new QTcpSocket();
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    if (localPort != 0 && !socket->bind(QHostAddress::Any, static_cast<quint16>(localPort))) {
        const int code = MapSocketError(socket->error());
        delete socket;
        return code;
    }
    socket->connectToHost(QString::fromStdString(host), static_cast<quint16>(port));
    if (!socket->waitForConnected(static_cast<int>(timeoutMs))) {
        const int code = MapSocketError(socket->error());
        delete socket;
        return code;
    }
    const unsigned h = gNextHandle++;
    gConversations[h] = Conversation{socket, callback, callbackData, false};
    QObject::connect(socket, &QTcpSocket::readyRead, [] {
        // ProcessSystemEvents dispatches on its way out; only the plain
        // event loop needs a dispatch scheduled.
        if (!InsideProcessSystemEvents()) {
            ScheduleDispatch();
        }
    });
    QObject::connect(socket, &QTcpSocket::disconnected, [h] {
        auto it = gConversations.find(h);
        if (it != gConversations.end()) {
            it->second.closedByPeer = true;
            ScheduleDispatch();
        }
    });
    *handle = h;
    return 0;
}

int DisconnectFromTCPServer(unsigned handle) {
    if (gConversations.count(handle) == 0) {
        return kTcpNoConnectionEstablished;
    }
    Forget(handle);
    return 0;
}

int ClientTCPWrite(unsigned handle, const void* data, size_t count, unsigned timeoutMs) {
    QTcpSocket* s = SocketOf(handle);
    if (s == nullptr) {
        return kTcpNoConnectionEstablished;
    }
    if (s->state() != QAbstractSocket::ConnectedState) {
        return kTcpConnectionClosed;
    }
    // With nothing queued in the socket the request goes straight out: the
    // socket's own buffered write would schedule a flush through the event
    // queue for every request.
    const char* bytes = static_cast<const char*>(data);
    size_t sent = 0;
    if (s->bytesToWrite() == 0 && s->socketDescriptor() >= 0) {
        const ssize_t n = ::send(static_cast<int>(s->socketDescriptor()), bytes, count,
                                 MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent = static_cast<size_t>(n);
        }
    }
    if (sent < count && s->write(bytes + sent, static_cast<qint64>(count - sent)) !=
                            static_cast<qint64>(count - sent)) {
        return kTcpWriteFailed;
    }
    s->flush();
    QElapsedTimer t;
    t.start();
    while (s->bytesToWrite() > 0) {
        const qint64 left = static_cast<qint64>(timeoutMs) - t.elapsed();
        if (left <= 0) {
            return kTcpTimeOutErr;
        }
        if (!s->waitForBytesWritten(static_cast<int>(left))) {
            return s->state() == QAbstractSocket::ConnectedState ? kTcpTimeOutErr : kTcpWriteFailed;
        }
    }
    return static_cast<int>(count);
}

int ClientTCPRead(unsigned handle, void* buffer, size_t count, unsigned timeoutMs) {
    QTcpSocket* s = SocketOf(handle);
    if (s == nullptr) {
        return kTcpNoConnectionEstablished;
    }
    if (count == 0) {
        return 0;
    }
    if (s->bytesAvailable() == 0) {
        if (s->state() != QAbstractSocket::ConnectedState) {
            return kTcpConnectionClosed;
        }
        if (!s->waitForReadyRead(static_cast<int>(timeoutMs))) {
            return s->state() == QAbstractSocket::ConnectedState ? kTcpTimeOutErr : kTcpReadFailed;
        }
    }
    const qint64 n = s->read(static_cast<char*>(buffer), static_cast<qint64>(count));
    return n < 0 ? kTcpReadFailed : static_cast<int>(n);
}

size_t ClientTCPBytesWaiting(unsigned handle) {
    QTcpSocket* s = SocketOf(handle);
    return s == nullptr ? 0 : static_cast<size_t>(s->bytesAvailable());
}

void DispatchTcpEvents() {
    if (gDispatching) {
        return;
    }
    gDispatching = true;
    std::vector<unsigned> handles;
    for (const auto& [h, c] : gConversations) {
        handles.push_back(h);
    }
    for (unsigned h : handles) {
        auto it = gConversations.find(h);
        if (it == gConversations.end()) {
            continue; // closed by an earlier callback
        }
        QTcpSocket* s = it->second.socket.data();
        const TcpCallback cb = it->second.callback;
        void* data = it->second.callbackData;
        if (s != nullptr && s->bytesAvailable() > 0 && cb != nullptr) {
            cb(h, kTcpDataReady, 0, data);
        }
        it = gConversations.find(h);
        if (it == gConversations.end()) {
            continue;
        }
        // The peer's close is reported after the last data it sent.
        if (it->second.closedByPeer || it->second.socket.isNull()) {
            const TcpCallback closeCb = it->second.callback;
            void* closeData = it->second.callbackData;
            Forget(h);
            if (closeCb != nullptr) {
                closeCb(h, kTcpDisconnect, kTcpConnectionClosed, closeData);
            }
        }
    }
    gDispatching = false;
}

size_t OpenTcpConnectionCount() {
    return gConversations.size();
}

} // namespace platform
