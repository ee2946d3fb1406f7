#include "live/display_refresh.h"

#include "platform/runtime.h"

#include <QCoreApplication>
#include <QTimer>

#include <bit>

namespace live {
namespace {

// The writer slot of a part: the position of its bit.
size_t IndexOf(DisplayPart part) {
    return static_cast<size_t>(std::countr_zero(static_cast<unsigned>(part)));
}

} // namespace

DisplayRefresh::~DisplayRefresh() {
    delete timer_.data();
}

// Fires once after the last request of a burst so that the displays end on
// the newest state even when no further frame comes.
QTimer* DisplayRefresh::TrailingTimer() {
    if (timer_ == nullptr && QCoreApplication::instance() != nullptr) {
        timer_ = new QTimer(QCoreApplication::instance());
        timer_->setSingleShot(true);
        QObject::connect(timer_, &QTimer::timeout, timer_, [this] { Flush(); });
    }
    return timer_;
}

void DisplayRefresh::SetWriter(DisplayPart part, std::function<void()> writer) {
    const size_t i = IndexOf(part);
    writers_[i] = std::move(writer);
    ++writerIds_[i];
}

platform::Subscription DisplayRefresh::InstallWriter(DisplayPart part,
                                                     std::function<void()> writer) {
    const size_t i = IndexOf(part);
    SetWriter(part, std::move(writer));
    const uint64_t id = writerIds_[i];
    return platform::Subscription(alive_, [this, i, id] {
        if (writerIds_[i] == id) {
            writers_[i] = nullptr;
        }
    });
}

platform::Subscription DisplayRefresh::AddWriter(DisplayPart part, std::function<void()> writer) {
    return more_[IndexOf(part)].Connect(std::move(writer));
}

void DisplayRefresh::Request(unsigned parts) {
    ++counters_.requests;
    pending_ |= parts;
    const double now = platform::Timer();
    if (now - lastRefresh_ >= interval_) {
        Flush();
        return;
    }
    if (QTimer* t = TrailingTimer(); t != nullptr && !t->isActive()) {
        const double wait = interval_ - (now - lastRefresh_);
        t->start(static_cast<int>(wait * 1000.0) + 1);
    }
}

void DisplayRefresh::Flush() {
    if (writing_ || pending_ == 0) {
        return; // a writer that processes events must not start another round
    }
    writing_ = true;
    if (timer_ != nullptr) {
        timer_->stop(); // this refresh is the one it was waiting for
    }
    const unsigned parts = pending_;
    pending_ = 0;
    for (int i = 0; i < kParts; ++i) {
        if ((parts & (1u << i)) == 0) {
            continue;
        }
        if (writers_[static_cast<size_t>(i)]) {
            writers_[static_cast<size_t>(i)]();
        }
        more_[static_cast<size_t>(i)].Notify();
    }
    lastRefresh_ = platform::Timer();
    ++counters_.refreshes;
    writing_ = false;
}

void DisplayRefresh::DiscardPending() {
    pending_ = 0;
    if (timer_ != nullptr) {
        timer_->stop();
    }
}

} // namespace live
