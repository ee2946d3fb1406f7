#include "platform/worker_thread.h"

#include <QDeadlineTimer>
#include <QThread>

namespace platform {

ThreadToken CurrentThreadToken() {
    return QThread::currentThread();
}

struct WorkerThread::Impl {
    std::unique_ptr<QThread> thread;
};

WorkerThread::WorkerThread(std::function<void()> work) : impl_(std::make_unique<Impl>()) {
    impl_->thread.reset(QThread::create(std::move(work)));
    impl_->thread->start();
}

WorkerThread::~WorkerThread() {
    Wait();
}

bool WorkerThread::Wait(int ms) {
    return ms < 0 ? impl_->thread->wait() : impl_->thread->wait(QDeadlineTimer(ms));
}

} // namespace platform
