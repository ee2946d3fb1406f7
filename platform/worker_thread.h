// A thread for work that uses the run-time's serial ports and TCP client
// (a probe of the sensor search, a sensor's worker). Unlike a plain
// std::thread, what those services leave for deferred deletion when a port
// closes is deleted when the thread ends, so a thread that opens many ports
// leaves nothing behind.
#pragma once

#include <functional>
#include <memory>

namespace platform {

// A thread as the run-time knows it, for handing a thread-bound object (a
// serial port) from one thread to another; nullptr for none.
using ThreadToken = void*;
// The calling thread's token.
ThreadToken CurrentThreadToken();

class WorkerThread {
public:
    // Starts `work` on a thread of its own at once.
    explicit WorkerThread(std::function<void()> work);
    // Waits for the work to end.
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Waits up to `ms` milliseconds (negative: as long as it takes) for the
    // work to end; true once it has.
    bool Wait(int ms = -1);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace platform
