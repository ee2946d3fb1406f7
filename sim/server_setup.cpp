// Opening the listeners and the pseudo-terminal, and the control socket's
// connections, of the simulator's server.
#include "sim/server.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace sim {
namespace {

constexpr size_t kMaxControlLine = 4096;
constexpr size_t kMaxControlConns = 8;

void SetNonBlocking(int fd) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

// Listens on `address`, which must be a loopback address (127.0.0.0/8): the
// simulator serves this machine only.
int OpenLoopbackListener(const std::string& address, uint16_t port, uint16_t* actual,
                         std::string* error) {
    in_addr loopback{};
    if (inet_pton(AF_INET, address.c_str(), &loopback) != 1 ||
        (ntohl(loopback.s_addr) >> 24) != 127) {
        *error = address + ": not a loopback address (127.0.0.0/8)";
        return -1;
    }
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        *error = std::string("socket: ") + std::strerror(errno);
        return -1;
    }
    const int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr = loopback;
    addr.sin_port = htons(port);
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd, 8) != 0) {
        *error = address + ":" + std::to_string(port) + ": " + std::strerror(errno);
        close(fd);
        return -1;
    }
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    *actual = ntohs(addr.sin_port);
    return fd;
}

} // namespace

speed_t TermiosSpeed(int baud) {
    switch (baud) {
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 230400:
        return B230400;
    case 460800:
        return B460800;
    case 921600:
        return B921600;
    default:
        return B0;
    }
}

bool Server::OpenTcp(std::string* error) {
    listenFd_ = OpenLoopbackListener(options_.tcpAddress, options_.tcpPort, &tcpPort_, error);
    return listenFd_ >= 0;
}

bool Server::OpenPty(std::string* error) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    char name[128];
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0 ||
        ptsname_r(master, name, sizeof name) != 0) {
        *error = std::string("pseudo-terminal: ") + std::strerror(errno);
        if (master >= 0) {
            close(master);
        }
        return false;
    }
    // Hold the slave open for the whole run: its raw settings stay, and the
    // master does not see EIO while the program has the line closed.
    ptySlave_ = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios tio{};
    if (ptySlave_ < 0 || tcgetattr(ptySlave_, &tio) != 0) {
        *error = std::string(name) + ": " + std::strerror(errno);
        close(master);
        return false;
    }
    cfmakeraw(&tio);
    // The line starts at the modelled rate (115200 without a model).
    const speed_t speed = TermiosSpeed(options_.lineBaud);
    cfsetispeed(&tio, speed != B0 ? speed : B115200);
    cfsetospeed(&tio, speed != B0 ? speed : B115200);
    tcsetattr(ptySlave_, TCSANOW, &tio);
    SetNonBlocking(master);
    fcntl(master, F_SETFD, FD_CLOEXEC);
    channels_[kPtyChannel].fd = master;
    ptyPath_ = name;
    return true;
}

bool Server::OpenControl(std::string* error) {
    controlFd_ = OpenLoopbackListener("127.0.0.1", static_cast<uint16_t>(options_.controlPort),
                                      &controlPort_, error);
    return controlFd_ >= 0;
}

void Server::AcceptControl() {
    const int fd = accept4(controlFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
        return;
    }
    if (controls_.size() >= kMaxControlConns) {
        close(fd);
        return;
    }
    controls_.push_back({fd, {}, {}});
}

void Server::ServeControl(ControlConn& conn, bool readable) {
    if (readable) {
        char buf[1024];
        const ssize_t n = read(conn.fd, buf, sizeof buf);
        if (n <= 0 && !(n < 0 && (errno == EAGAIN || errno == EINTR))) {
            close(conn.fd);
            conn.fd = -1;
            return;
        }
        if (n > 0) {
            conn.in.append(buf, static_cast<size_t>(n));
        }
        size_t eol;
        while ((eol = conn.in.find('\n')) != std::string::npos) {
            std::string line = conn.in.substr(0, eol);
            conn.in.erase(0, eol + 1);
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            // Each reply ends with an empty line, so a client knows where it ends.
            conn.out += ExecuteControl(line, *this) + "\n";
        }
        if (conn.in.size() > kMaxControlLine) {
            close(conn.fd);
            conn.fd = -1;
            return;
        }
    }
    if (!conn.out.empty()) {
        const ssize_t n =
            send(conn.fd, conn.out.data(), conn.out.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            conn.out.erase(0, static_cast<size_t>(n));
        }
    }
}

} // namespace sim
