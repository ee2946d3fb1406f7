// The byte transport under a link: the serial port or the TCP connection,
// behind one interface. Each link holds one at a time; its InitRS232 or
// InitTCP_IP chooses it, and everything above it, the exchange, the frame
// reader and the loops that take frames as they come, works the same on
// either.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace com232 {

class SensorLink;

class Transport {
public:
    virtual ~Transport() = default;

    // True while the port or the connection is there to use.
    virtual bool IsOpen() const = 0;
    virtual void Close() = 0;
    // Sends all bytes within the transport's write time-out; the count
    // written or a negative code.
    virtual int Write(const uint8_t* data, size_t count) = 0;
    // Takes what has arrived, at most `room` bytes, without waiting; 0 when
    // nothing has.
    virtual size_t Read(uint8_t* buffer, size_t room) = 0;
    // Blocks up to `ms` milliseconds, without processing events, until
    // bytes can be read; false when none came (or the line is gone).
    virtual bool WaitReadable(int ms) = 0;
    // Drops whatever has arrived and not been read (bytes of an earlier
    // answer), before a request.
    virtual void DropReceived() = 0;
    // Line error bits since the last call (see platform/serial_port.h);
    // positive when the line has failed in a way that the transport does
    // not report itself. A TCP hang-up is reported as it happens.
    virtual int LineErrors() = 0;
    // After a wait for `missing` more bytes has timed out: a serial port
    // still reads them within its own read time-out, as the last bytes may
    // just be arriving; the bytes read go to `buffer`. Returns their count.
    virtual size_t ReadAfterTimeOut(uint8_t* buffer, size_t missing) = 0;
    // The port's read/write time-out in seconds (serial only).
    virtual void SetPortTimeOut(double seconds) = 0;
    // The report for a line that went away for good and was found so by
    // reading (a TCP connection on a worker, which has no event dispatch
    // to tell it); nullptr while it is there.
    virtual const char* LostText() { return nullptr; }
    // Stops (false) or resumes (true) the events a transport gets from the
    // window's event loop (a TCP connection's data-ready and close), while a
    // worker uses it without them; on the thread that opened it.
    virtual void WatchEvents(bool) {}
    // Gives a thread-bound transport (the serial port) to `thread`
    // (platform::ThreadToken); on the thread that uses it now.
    virtual void GiveToThread(void*) {}
};

// A transport that is not there: before the first connection and after the
// link was closed. Nothing is written or read.
std::unique_ptr<Transport> MakeNoTransport();
// The serial port, opened under `key` (platform/serial_port.h).
std::unique_ptr<Transport> MakeSerialTransport(int key);

} // namespace com232
