#include "sim/server.h"

#include "platform/com_port_map.h"
#include "platform/wake_latency.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sstream>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace sim {
namespace {

constexpr size_t kMaxQueuedBytes = 1 << 20;     // a client that does not read loses frames
constexpr uint64_t kPartialTimeoutUs = 1000000; // a request silent this long is dropped
constexpr size_t kLinePiece = 64;               // bytes per step of the line-time model

DispatcherOptions ToDispatcherOptions(const Options& o) {
    DispatcherOptions d;
    d.identification = o.firmwareId;
    d.serialNumber = o.serialNumber;
    d.scene.noise = o.noise;
    d.scene.seed = o.seed;
    d.scene.targetMs = o.targetMs;
    d.scene.gapMs = o.gapMs;
    d.baseCycleUs = o.cycleUs;
    d.lineBaud = o.lineBaud;
    d.eepromFile = o.eepromFile;
    return d;
}

} // namespace

Server::Server(const Options& options)
    : options_(options), dispatcher_(ToDispatcherOptions(options)),
      start_(std::chrono::steady_clock::now()) {
    channels_[kPtyChannel].tcp = false;
}

Server::~Server() {
    Stop();
}

uint64_t Server::NowUs() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                     std::chrono::steady_clock::now() - start_)
                                     .count());
}

bool Server::Start(std::string* error) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (started_) {
        *error = "already started";
        return false;
    }
    if (!options_.tcp && !options_.pty) {
        *error = "neither TCP nor a pseudo-terminal to serve";
        return false;
    }
    for (const std::string& text : options_.faults) {
        Fault f;
        if (!ParseFault(text, &f, error)) {
            *error = "fault '" + text + "': " + *error;
            return false;
        }
        faults_.Add(f);
    }
    if (!dispatcher_.Init(error)) {
        return false;
    }
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd_ < 0 || (options_.tcp && !OpenTcp(error)) || (options_.pty && !OpenPty(error)) ||
        (options_.controlPort >= 0 && !OpenControl(error))) {
        if (wakeFd_ < 0) {
            *error = std::string("eventfd: ") + std::strerror(errno);
        }
        stop_ = true;
        started_ = true;
        return false;
    }
    started_ = true;
    thread_ = std::thread([this] { Loop(); });
    return true;
}

void Server::Stop() {
    stop_ = true;
    Wake();
    if (thread_.joinable()) {
        thread_.join();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    CloseChannel(kTcpChannel);
    for (int* fd : {&listenFd_, &channels_[kPtyChannel].fd, &ptySlave_, &controlFd_, &wakeFd_}) {
        if (*fd >= 0) {
            close(*fd);
            *fd = -1;
        }
    }
    for (ControlConn& c : controls_) {
        close(c.fd);
    }
    controls_.clear();
}

void Server::Wake() {
    if (wakeFd_ >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = write(wakeFd_, &one, sizeof one);
    }
}

std::string Server::Command(const std::string& line) {
    std::string reply;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        now_ = NowUs();
        reply = ExecuteControl(line, *this);
    }
    Wake(); // queued frames and closed connections take effect at once
    return reply;
}

bool Server::CloseClient() {
    if (channels_[kTcpChannel].fd < 0) {
        return false;
    }
    CloseChannel(kTcpChannel);
    Wake();
    return true;
}

std::string Server::TransportStatus() {
    std::ostringstream s;
    s << "client=" << (channels_[kTcpChannel].fd >= 0 ? "connected" : "none")
      << " dropped=" << droppedFrames_;
    if (listenFd_ >= 0) {
        s << " tcp=" << options_.tcpAddress << ":" << tcpPort_;
    }
    if (!ptyPath_.empty()) {
        s << " pty=" << ptyPath_ << " com=" << platform::DeviceToComPort(ptyPath_)
          << " wrong-rate-bytes=" << wrongRateBytes_;
    }
    return s.str();
}

void Server::CloseChannel(int channel) {
    Channel& ch = channels_[channel];
    if (!ch.tcp || ch.fd < 0) {
        return; // a pseudo-terminal has no connection to close
    }
    shutdown(ch.fd, SHUT_RDWR);
    close(ch.fd);
    ch.fd = -1;
    ch.queue.clear();
    ch.queuedBytes = 0;
    ch.parser.Reset();
    ch.lineFreeUs = 0;
    ch.blocked = false;
    dispatcher_.ChannelClosed(channel);
}

void Server::AcceptClient() {
    const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
        return;
    }
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    channels_[kTcpChannel].fd = fd;
    channels_[kTcpChannel].lastRxUs = now_;
}

void Server::OnRequest(const com232::FrameHeader& header, const uint8_t* data) {
    const int baud = dispatcher_.LineBaud();
    requestDoneUs_ =
        baud > 0 ? now_ + (com232::kHeaderSize + header.length) * 10000000ULL / baud : now_;
    dispatcher_.HandleRequest(currentChannel_, header, data, now_, *this);
}

void Server::OnBadRequest(const com232::FrameHeader& header) {
    requestDoneUs_ = now_;
    dispatcher_.HandleBadRequest(currentChannel_, header, now_, *this);
}

// On a pseudo-terminal with the line model, bytes the program sends while
// its side of the line runs at another rate than the modelled one are lost,
// as a UART at the wrong rate sees only framing errors: the master sees the
// rate the program set on its side.
bool Server::AtWrongRate(const Channel& ch) {
    const speed_t line = TermiosSpeed(dispatcher_.LineBaud());
    termios tio{};
    return !ch.tcp && line != B0 && tcgetattr(ch.fd, &tio) == 0 && cfgetospeed(&tio) != line;
}

void Server::ReadChannel(int channel) {
    Channel& ch = channels_[channel];
    for (;;) {
        const ssize_t n = read(ch.fd, rx_, sizeof rx_);
        if (n > 0 && AtWrongRate(ch)) {
            wrongRateBytes_ += static_cast<uint64_t>(n);
            continue;
        }
        if (n > 0) {
            if (ch.parser.HasPartial() && now_ - ch.lastRxUs > kPartialTimeoutUs) {
                ch.parser.Reset();
            }
            ch.lastRxUs = now_;
            currentChannel_ = channel;
            ch.parser.Feed(rx_, static_cast<size_t>(n), *this);
            if (ch.fd < 0 || static_cast<size_t>(n) < sizeof rx_) {
                return; // closed by a fault, or nothing more waiting
            }
            continue;
        }
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
            if (ch.tcp) {
                CloseChannel(channel); // the client went away
            }
            return;
        }
        if (errno != EINTR) {
            return;
        }
    }
}

void Server::Enqueue(Channel& ch, uint64_t dueUs, const uint8_t* bytes, size_t size, bool close) {
    Chunk c;
    c.dueUs = dueUs;
    c.bytes.assign(bytes, bytes + size);
    c.close = close;
    ch.queuedBytes += size;
    ch.queue.push_back(std::move(c));
}

void Server::Send(int channel, const uint8_t* frame, size_t size, bool unasked) {
    Channel& ch = channels_[channel];
    if (ch.fd < 0) {
        return;
    }
    if (ch.queuedBytes > kMaxQueuedBytes) {
        ++droppedFrames_;
        return;
    }
    const int baud = dispatcher_.LineBaud();
    const AppliedFaults applied = faults_.Empty() ? AppliedFaults{} : faults_.Take(frame[1]);
    const uint64_t readyUs = unasked ? now_ : std::max(now_, requestDoneUs_);
    if (!applied.any && baud == 0 && ch.queue.empty()) {
        // The common case: straight out.
        const ssize_t n = ch.tcp ? send(ch.fd, frame, size, MSG_NOSIGNAL | MSG_DONTWAIT)
                                 : write(ch.fd, frame, size);
        const size_t sent = n > 0 ? static_cast<size_t>(n) : 0;
        if (sent < size) {
            Enqueue(ch, now_, frame + sent, size - sent, false);
        }
        return;
    }
    FaultedFrame out;
    if (applied.any) {
        out = ApplyFaults(frame, size, applied, &random_);
    } else {
        out.bytes.assign(frame, frame + size);
        out.pieces.push_back({0, size, 0});
    }
    if (out.closeConnection) {
        if (ch.tcp) {
            Enqueue(ch, readyUs, nullptr, 0, true);
        }
        return;
    }
    for (const OutPiece& p : out.pieces) {
        uint64_t due = readyUs + p.delayUs;
        if (baud <= 0) {
            Enqueue(ch, due, out.bytes.data() + p.offset, p.size, false);
            continue;
        }
        // The modelled line: each step of kLinePiece bytes leaves when its
        // last byte would have been sent at 10 bits per byte.
        for (size_t o = 0; o < p.size; o += kLinePiece) {
            const size_t n = std::min(kLinePiece, p.size - o);
            due = std::max(due, ch.lineFreeUs) + n * 10000000ULL / static_cast<uint64_t>(baud);
            ch.lineFreeUs = due;
            Enqueue(ch, due, out.bytes.data() + p.offset + o, n, false);
        }
    }
}

void Server::FlushChannel(int channel) {
    Channel& ch = channels_[channel];
    while (ch.fd >= 0 && !ch.queue.empty() && ch.queue.front().dueUs <= now_) {
        Chunk& c = ch.queue.front();
        if (c.close) {
            CloseChannel(channel);
            return;
        }
        const size_t left = c.bytes.size() - c.sent;
        const ssize_t n =
            ch.tcp ? send(ch.fd, c.bytes.data() + c.sent, left, MSG_NOSIGNAL | MSG_DONTWAIT)
                   : write(ch.fd, c.bytes.data() + c.sent, left);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            ch.blocked = true;
            return;
        }
        if (n < 0) {
            if (ch.tcp) {
                CloseChannel(channel);
            } else {
                ch.queue.clear(); // nobody on the line: the frames are lost
                ch.queuedBytes = 0;
            }
            return;
        }
        ch.blocked = false;
        c.sent += static_cast<size_t>(n);
        if (c.sent < c.bytes.size()) {
            ch.blocked = true;
            return;
        }
        ch.queuedBytes -= c.bytes.size();
        ch.queue.pop_front();
    }
}

uint64_t Server::NextDueUs() const {
    uint64_t next = UINT64_MAX;
    for (const Channel& ch : channels_) {
        if (ch.fd >= 0 && !ch.queue.empty() && !ch.blocked) {
            next = std::min(next, ch.queue.front().dueUs);
        }
    }
    return next;
}

void Server::Loop() {
    // Wake-ups of the line-time model and the faults' delays are due to the
    // microsecond: no timer slack for this thread.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    // Nor should they wait for a program's window to finish drawing: the
    // simulated sensor stands for a device with a processor of its own.
    platform::PreferShortWakeLatency();
    enum Role { kWake, kListen, kTcp, kPty, kControlListen, kControl };
    std::vector<pollfd> fds;
    std::vector<std::pair<Role, size_t>> roles;
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stop_) {
        fds.clear();
        roles.clear();
        const auto add = [&](int fd, short events, Role role, size_t index) {
            fds.push_back({fd, events, 0});
            roles.push_back({role, index});
        };
        add(wakeFd_, POLLIN, kWake, 0);
        if (listenFd_ >= 0 && channels_[kTcpChannel].fd < 0) {
            add(listenFd_, POLLIN, kListen, 0); // one client at a time
        }
        for (int c = 0; c < 2; ++c) {
            const Channel& ch = channels_[c];
            if (ch.fd >= 0) {
                add(ch.fd, static_cast<short>(POLLIN | (ch.blocked ? POLLOUT : 0)),
                    c == kTcpChannel ? kTcp : kPty, 0);
            }
        }
        if (controlFd_ >= 0) {
            add(controlFd_, POLLIN, kControlListen, 0);
        }
        for (size_t i = 0; i < controls_.size(); ++i) {
            add(controls_[i].fd,
                static_cast<short>(POLLIN | (controls_[i].out.empty() ? 0 : POLLOUT)), kControl, i);
        }
        now_ = NowUs();
        const uint64_t due = std::min({NextDueUs(), dispatcher_.NextPollUs(now_), now_ + 1000000});
        const uint64_t waitUs = due > now_ ? due - now_ : 0;
        const timespec timeout{static_cast<time_t>(waitUs / 1000000),
                               static_cast<long>((waitUs % 1000000) * 1000)};

        lock.unlock();
        const int ready = ppoll(fds.data(), fds.size(), &timeout, nullptr);
        lock.lock();
        if (stop_) {
            break;
        }
        now_ = NowUs();
        for (size_t i = 0; ready > 0 && i < fds.size(); ++i) {
            const short ev = fds[i].revents;
            if (ev == 0) {
                continue;
            }
            const auto [role, index] = roles[i];
            switch (role) {
            case kWake: {
                uint64_t v;
                [[maybe_unused]] const ssize_t n = read(wakeFd_, &v, sizeof v);
                break;
            }
            case kListen:
                if (channels_[kTcpChannel].fd < 0) {
                    AcceptClient();
                }
                break;
            case kTcp:
            case kPty: {
                const int c = role == kTcp ? kTcpChannel : kPtyChannel;
                if (channels_[c].fd != fds[i].fd) {
                    break; // closed meanwhile by a command
                }
                if (ev & POLLOUT) {
                    channels_[c].blocked = false;
                }
                if (ev & (POLLIN | POLLHUP | POLLERR)) {
                    ReadChannel(c);
                }
                break;
            }
            case kControlListen:
                AcceptControl();
                break;
            case kControl:
                if (index < controls_.size() && controls_[index].fd == fds[i].fd) {
                    ServeControl(controls_[index], (ev & (POLLIN | POLLHUP | POLLERR)) != 0);
                }
                break;
            }
        }
        if (dispatcher_.NextPollUs(now_) != UINT64_MAX) {
            dispatcher_.Poll(now_, *this); // a capture or automatic sending runs
        }
        for (int c = 0; c < 2; ++c) {
            FlushChannel(c);
        }
        for (ControlConn& conn : controls_) {
            if (conn.fd >= 0 && !conn.out.empty()) {
                ServeControl(conn, false);
            }
        }
        controls_.erase(std::remove_if(controls_.begin(), controls_.end(),
                                       [](const ControlConn& c) { return c.fd < 0; }),
                        controls_.end());
    }
}

} // namespace sim
