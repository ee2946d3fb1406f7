#include "platform/serial_port.h"

#include "platform/com_port_map.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QPointer>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>

#include <cerrno>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace platform {
namespace {

struct OpenPort {
    QPointer<QSerialPort> port;
    std::string device;
    double timeoutSeconds = 2.0;
    int errorBits = 0;
    bool lost = false;
    bool pollSaidReadable = false; // the last wait ended with the driver readable
};

// The table's structure is guarded; an entry is used by the thread that
// opened it, and entries do not move when others come and go.
std::mutex gPortsMutex;
std::map<int, OpenPort> gPorts;
std::atomic<int> gNextKey{kComPortOfPath + 1};

OpenPort* Find(int comPort) {
    std::lock_guard<std::mutex> lock(gPortsMutex);
    auto it = gPorts.find(comPort);
    return it == gPorts.end() ? nullptr : &it->second;
}

// A read, write or resource error means the line is gone (a hang-up makes the
// port report errors endlessly while it stays open): note it once and close.
void OnPortError(int comPort, QSerialPort* port, QSerialPort::SerialPortError e) {
    OpenPort* p = Find(comPort);
    if (p == nullptr || p->port != port || p->lost) {
        return;
    }
    switch (e) {
    case QSerialPort::ReadError:
        p->errorBits |= kComStatReadError | kComStatLineLost;
        break;
    case QSerialPort::WriteError:
        p->errorBits |= kComStatWriteError | kComStatLineLost;
        break;
    case QSerialPort::ResourceError:
    case QSerialPort::PermissionError:
        p->errorBits |= kComStatLineLost;
        break;
    default:
        return;
    }
    p->lost = true;
    QMetaObject::invokeMethod(
        port,
        [port] {
            if (port->isOpen()) {
                port->close();
            }
        },
        Qt::QueuedConnection);
}

QSerialPort* LivePort(int comPort) {
    OpenPort* p = Find(comPort);
    if (p == nullptr || p->lost || p->port.isNull() || !p->port->isOpen()) {
        return nullptr;
    }
    return p->port.data();
}

int MsLeft(const QElapsedTimer& t, double seconds) {
    return static_cast<int>(seconds * 1000.0 - static_cast<double>(t.elapsed()));
}

// What has arrived, without waiting: the bytes the port has buffered first,
// then what the driver holds, read from it directly. The port's own wait
// and read go through its buffer and signals, and with the queue length
// asked before, cost a link about one frame in a hundred at 921 600 Bd.
// With the line set to return at once, a read finds nothing as 0 bytes; 0
// bytes from a driver the wait found readable is a hang-up, and a failed
// read means the line is gone, as when the port reads.
qint64 ReadArrived(int comPort, OpenPort& p, QSerialPort* port, char* out, size_t room) {
    const bool wasReadable = p.pollSaidReadable;
    p.pollSaidReadable = false;
    const qint64 buffered = port->read(out, static_cast<qint64>(room));
    if (buffered != 0 || port->handle() < 0) {
        return std::max<qint64>(buffered, 0);
    }
    ssize_t n = 0;
    do {
        n = ::read(port->handle(), out, room);
    } while (n < 0 && errno == EINTR);
    if (n > 0) {
        return n;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        return 0;
    }
    if (n == 0 && !wasReadable) {
        return 0;
    }
    const bool gone = n == 0 || errno == EIO || errno == ENXIO || errno == ENODEV || errno == EBADF;
    OnPortError(comPort, port, gone ? QSerialPort::ResourceError : QSerialPort::ReadError);
    return 0;
}

// Waits up to timeoutMs until the driver holds bytes (or the line is gone).
bool AwaitDriverBytes(OpenPort& p, QSerialPort* port, int timeoutMs) {
    if (port->handle() < 0) {
        return port->waitForReadyRead(timeoutMs);
    }
    pollfd fd{port->handle(), POLLIN, 0};
    int ready = 0;
    do {
        ready = ::poll(&fd, 1, std::max(timeoutMs, 0));
    } while (ready < 0 && errno == EINTR);
    p.pollSaidReadable = ready > 0;
    return ready > 0;
}

} // namespace

int NewComKey() {
    return gNextKey++;
}

int OpenComConfig(int comPort, const std::string& deviceName, long baudRate, int parity,
                  int dataBits, int stopBits, int /*inputQueueSize*/, int /*outputQueueSize*/) {
    const std::string device = deviceName.empty() ? ComPortToDevice(comPort) : deviceName;
    if (device.empty()) {
        return kComInvalidPortNumber;
    }
    if (baudRate <= 0) {
        return kComInvalidBaudrate;
    }
    CloseCom(comPort);
    if (!QFileInfo::exists(QString::fromStdString(device))) {
        return kComNoSerialPortFound;
    }
    auto* port = new QSerialPort(QString::fromStdString(device));
    if (!port->open(QIODevice::ReadWrite)) {
        const auto e = port->error();
        delete port;
        if (e == QSerialPort::DeviceNotFoundError) {
            return kComNoSerialPortFound;
        }
        if (e == QSerialPort::PermissionError || e == QSerialPort::OpenError) {
            return kComCannotOpenPort;
        }
        return kComUnknownSystemError;
    }
    const bool configured =
        port->setBaudRate(static_cast<qint32>(baudRate)) &&
        port->setParity(parity == 1   ? QSerialPort::OddParity
                        : parity == 2 ? QSerialPort::EvenParity
                                      : QSerialPort::NoParity) &&
        port->setDataBits(dataBits == 7 ? QSerialPort::Data7 : QSerialPort::Data8) &&
        port->setStopBits(stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop) &&
        port->setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        port->close();
        delete port;
        return kComInvalidBaudrate;
    }
    port->clear(); // opening does not flush what the line held before
    {
        std::lock_guard<std::mutex> lock(gPortsMutex);
        gPorts[comPort] = OpenPort{port, device, 2.0, 0, false};
    }
    QObject::connect(
        port, &QSerialPort::errorOccurred,
        [comPort, port](QSerialPort::SerialPortError e) { OnPortError(comPort, port, e); });
    return 0;
}

int CloseCom(int comPort) {
    QPointer<QSerialPort> held;
    {
        std::lock_guard<std::mutex> lock(gPortsMutex);
        auto it = gPorts.find(comPort);
        if (it == gPorts.end()) {
            return 0;
        }
        held = it->second.port;
        gPorts.erase(it);
    }
    if (QSerialPort* port = held.data()) {
        QObject::disconnect(port, nullptr, nullptr, nullptr);
        if (port->isOpen()) {
            port->close();
        }
        port->deleteLater(); // a caller up the stack may still hold it
    }
    return 0;
}

int SetComTime(int comPort, double timeoutSeconds) {
    OpenPort* p = Find(comPort);
    if (p == nullptr) {
        return kComPortNotOpen;
    }
    p->timeoutSeconds = timeoutSeconds < 0 ? 0 : timeoutSeconds;
    return 0;
}

int SetCTSMode(int comPort, int mode) {
    QSerialPort* port = LivePort(comPort);
    if (port == nullptr) {
        return kComPortNotOpen;
    }
    return port->setFlowControl(mode ? QSerialPort::HardwareControl : QSerialPort::NoFlowControl)
               ? 0
               : kComIoError;
}

// Flushing costs a call into the driver, and on a USB adapter a request to
// the device, before every exchange: a queue with nothing in it is left as
// it is.
int FlushInQ(int comPort) {
    QSerialPort* port = LivePort(comPort);
    if (port == nullptr) {
        return kComPortNotOpen;
    }
    int queued = 0;
    if (port->bytesAvailable() > 0 || port->handle() < 0 ||
        ::ioctl(port->handle(), FIONREAD, &queued) != 0 || queued > 0) {
        port->clear(QSerialPort::Input);
    }
    return 0;
}

int FlushOutQ(int comPort) {
    QSerialPort* port = LivePort(comPort);
    if (port == nullptr) {
        return kComPortNotOpen;
    }
    int queued = 0;
    if (port->bytesToWrite() > 0 || port->handle() < 0 ||
        ::ioctl(port->handle(), TIOCOUTQ, &queued) != 0 || queued > 0) {
        port->clear(QSerialPort::Output);
    }
    return 0;
}

int ComWrt(int comPort, const void* data, size_t count) {
    OpenPort* p = Find(comPort);
    QSerialPort* port = LivePort(comPort);
    if (port == nullptr) {
        return p != nullptr && p->lost ? kComIoError : kComPortNotOpen;
    }
    // With nothing queued in the port the bytes go straight to the driver:
    // the port's own buffered write would go through the event queue and a
    // write notifier for every request.
    const char* bytes = static_cast<const char*>(data);
    size_t written = 0;
    if (port->bytesToWrite() == 0 && port->handle() >= 0) {
        const ssize_t n = ::write(port->handle(), bytes, count);
        if (n > 0) {
            written = static_cast<size_t>(n);
        }
    }
    if (written < count && port->write(bytes + written, static_cast<qint64>(count - written)) !=
                               static_cast<qint64>(count - written)) {
        return kComIoError;
    }
    QElapsedTimer t;
    t.start();
    while (port->bytesToWrite() > 0) {
        const int left = MsLeft(t, p->timeoutSeconds);
        if (left <= 0) {
            return kComTimeout;
        }
        if (!port->waitForBytesWritten(left)) {
            if (LivePort(comPort) == nullptr) {
                return kComIoError;
            }
            if (port->bytesToWrite() > 0 && MsLeft(t, p->timeoutSeconds) <= 0) {
                return kComTimeout;
            }
        }
    }
    return static_cast<int>(count);
}

int ComRd(int comPort, void* buffer, size_t count) {
    OpenPort* p = Find(comPort);
    if (p == nullptr) {
        return kComPortNotOpen;
    }
    auto* out = static_cast<char*>(buffer);
    size_t got = 0;
    QElapsedTimer t;
    t.start();
    while (got < count) {
        QSerialPort* port = LivePort(comPort);
        if (port == nullptr) {
            break; // line lost: return what was read
        }
        const qint64 n = ReadArrived(comPort, *p, port, out + got, count - got);
        if (n > 0) {
            got += static_cast<size_t>(n);
            continue;
        }
        const int left = MsLeft(t, p->timeoutSeconds);
        if (left <= 0 || p->lost) {
            break;
        }
        AwaitDriverBytes(*p, port, left);
    }
    return static_cast<int>(got);
}

int ComRdArrived(int comPort, void* buffer, size_t room) {
    OpenPort* p = Find(comPort);
    QSerialPort* port = LivePort(comPort);
    if (p == nullptr || port == nullptr) {
        return p == nullptr ? kComPortNotOpen : 0;
    }
    return static_cast<int>(ReadArrived(comPort, *p, port, static_cast<char*>(buffer), room));
}

int GetInQLen(int comPort) {
    OpenPort* p = Find(comPort);
    if (p == nullptr) {
        return kComPortNotOpen;
    }
    QSerialPort* port = LivePort(comPort);
    if (port == nullptr) {
        return 0;
    }
    // Bytes Qt has buffered plus bytes the driver holds that Qt has not fetched yet.
    int pending = 0;
    if (port->handle() >= 0 && ::ioctl(port->handle(), FIONREAD, &pending) != 0) {
        pending = 0;
    }
    return static_cast<int>(port->bytesAvailable()) + std::max(pending, 0);
}

bool WaitComReadable(int comPort, int timeoutMs) {
    OpenPort* p = Find(comPort);
    QSerialPort* port = LivePort(comPort);
    if (p == nullptr || port == nullptr) {
        return false;
    }
    if (port->bytesAvailable() > 0) {
        return true;
    }
    return AwaitDriverBytes(*p, port, timeoutMs);
}

int GetComStat(int comPort) {
    OpenPort* p = Find(comPort);
    if (p == nullptr) {
        return 0;
    }
    const int bits = p->errorBits;
    // A lost line stays lost until the port is closed and opened again.
    p->errorBits = p->lost ? kComStatLineLost : 0;
    return bits;
}

bool IsComOpen(int comPort) {
    return LivePort(comPort) != nullptr;
}

void GiveComToThread(int comPort, void* thread) {
    OpenPort* p = Find(comPort);
    if (p == nullptr || thread == nullptr) {
        return;
    }
    // The port's read notifier goes with it and stays quiet on a worker,
    // which reads the port itself; back home it is enabled again.
    if (QSerialPort* port = p->port.data(); port != nullptr && port->thread() != thread) {
        port->moveToThread(static_cast<QThread*>(thread));
    }
}

bool IsComDeviceOpen(const std::string& device) {
    std::lock_guard<std::mutex> lock(gPortsMutex);
    for (const auto& [key, p] : gPorts) {
        if (p.device == device && !p.lost && p.port && p.port->isOpen()) {
            return true;
        }
    }
    return false;
}

std::vector<SerialPortDescription> ListSerialPorts() {
    std::vector<SerialPortDescription> list;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const std::string device = info.systemLocation().toStdString();
        const int number = DeviceToComPort(device);
        if (number < 0) {
            continue;
        }
        std::string text = info.description().toStdString();
        if (!info.manufacturer().isEmpty()) {
            text += (text.empty() ? "" : ", ") + info.manufacturer().toStdString();
        }
        list.push_back({number, device, text});
    }
    std::sort(list.begin(), list.end(),
              [](const auto& a, const auto& b) { return a.comPort < b.comPort; });
    return list;
}

} // namespace platform
