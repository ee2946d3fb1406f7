// Opening the TCP client's sockets: each address the host name resolves to
// is tried in turn, connected without blocking and bounded by the caller's
// time-out, with keep-alive probes on.
#pragma once

#include <chrono>
#include <string>

namespace platform {

// Milliseconds until `deadline`, 0 once it has passed.
inline int MsUntil(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// A socket connected to host:port within timeoutMs (from `localPort` when
// not 0): 0 and the socket in *fdOut, or a kTcp... code (tcp_client.h). The
// socket is blocking; its users pass MSG_DONTWAIT where they must not wait.
int ConnectTcpSocket(const std::string& host, unsigned port, unsigned timeoutMs, unsigned localPort,
                     int* fdOut);

} // namespace platform
