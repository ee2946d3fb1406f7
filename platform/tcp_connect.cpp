#include "platform/tcp_connect.h"

#include "platform/interrupt.h"
#include "platform/tcp_client.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {
namespace {

// Keep-alive: the first probe after this much silence, then one every
// interval; the connection is given up when this many go unanswered.
constexpr int kKeepIdleSeconds = 10;
constexpr int kKeepIntervalSeconds = 5;
constexpr int kKeepProbes = 3;
static_assert(kKeepIdleSeconds + kKeepIntervalSeconds * kKeepProbes == kTcpKeepAliveSeconds);

int ConnectErrorCode(int error) {
    switch (error) {
    case ECONNREFUSED:
        return kTcpUnableToEstablishConnection;
    case ENETUNREACH:
    case EHOSTUNREACH:
    case ENETDOWN:
    case EHOSTDOWN:
        return kTcpFailedToConnect;
    case ETIMEDOUT:
        return kTcpTimeOutErr;
    case EADDRINUSE:
    case EADDRNOTAVAIL:
    case EAFNOSUPPORT:
        return kTcpInvalidParameter;
    case ENOMEM:
    case ENOBUFS:
        return kTcpOutOfMemory;
    default:
        return kTcpGeneralIOErr;
    }
}

// Connects one resolved address within the deadline; the socket or a code.
int ConnectAddress(const addrinfo& a, unsigned localPort,
                   std::chrono::steady_clock::time_point deadline, int* fdOut) {
    const int fd =
        ::socket(a.ai_family, a.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a.ai_protocol);
    if (fd < 0) {
        return ConnectErrorCode(errno);
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    // A sensor whose network goes away without closing the connection
    // sends nothing any more, which a wait for a trigger cannot tell from a
    // quiet line: keep-alive probes find out within kTcpKeepAliveSeconds.
    ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &one, sizeof one);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &kKeepIdleSeconds, sizeof kKeepIdleSeconds);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &kKeepIntervalSeconds,
                 sizeof kKeepIntervalSeconds);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &kKeepProbes, sizeof kKeepProbes);
    if (localPort != 0) {
        sockaddr_storage local{};
        std::memcpy(&local, a.ai_addr, a.ai_addrlen);
        if (a.ai_family == AF_INET) {
            reinterpret_cast<sockaddr_in*>(&local)->sin_addr.s_addr = htonl(INADDR_ANY);
            reinterpret_cast<sockaddr_in*>(&local)->sin_port =
                htons(static_cast<uint16_t>(localPort));
        } else {
            reinterpret_cast<sockaddr_in6*>(&local)->sin6_addr = in6addr_any;
            reinterpret_cast<sockaddr_in6*>(&local)->sin6_port =
                htons(static_cast<uint16_t>(localPort));
        }
        if (::bind(fd, reinterpret_cast<sockaddr*>(&local), a.ai_addrlen) != 0) {
            const int code = ConnectErrorCode(errno);
            ::close(fd);
            return code;
        }
    }
    if (::connect(fd, a.ai_addr, a.ai_addrlen) != 0 && errno != EINPROGRESS) {
        const int code = ConnectErrorCode(errno);
        ::close(fd);
        return code;
    }
    pollfd p{fd, POLLOUT, 0};
    int ready = 0;
    do {
        ready = ::poll(&p, 1, MsUntil(deadline));
    } while (ready < 0 && errno == EINTR && !InterruptRequested());
    if (ready == 0 || (ready < 0 && InterruptRequested())) {
        ::close(fd);
        return kTcpTimeOutErr;
    }
    int error = 0;
    socklen_t len = sizeof error;
    if (ready < 0 || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) != 0 || error != 0) {
        const int code = ConnectErrorCode(ready < 0 ? errno : error);
        ::close(fd);
        return code;
    }
    // Every read and send says whether it may wait; only the receive that
    // waits for an answer (the client's ReceiveWaiting) sleeps, up to its time-out.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        const int code = ConnectErrorCode(errno);
        ::close(fd);
        return code;
    }
    *fdOut = fd;
    return 0;
}

} // namespace

int ConnectTcpSocket(const std::string& host, unsigned port, unsigned timeoutMs, unsigned localPort,
                     int* fdOut) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    const std::string service = std::to_string(port);
    if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &list) != 0 || list == nullptr) {
        return kTcpFailedToConnect; // host not found
    }
    int fd = -1;
    int code = kTcpFailedToConnect;
    for (const addrinfo* a = list; a != nullptr && fd < 0; a = a->ai_next) {
        code = ConnectAddress(*a, localPort, deadline, &fd);
        if (code == kTcpTimeOutErr) {
            break;
        }
    }
    ::freeaddrinfo(list);
    if (fd < 0) {
        return code;
    }
    *fdOut = fd;
    return 0;
}

} // namespace platform
