#include "gateway/outbox.h"

#include <algorithm>
#include <utility>

namespace gateway {
namespace {

// Commands waiting for a sensor; more are refused as busy.
constexpr size_t kMaxCommands = 8;

} // namespace

Outbox::Outbox(size_t capacity, double rate, std::function<void()> wake)
    : capacity_(capacity == 0 ? 1 : capacity), rate_(rate), wake_(std::move(wake)) {}

void Outbox::SetTopicId(const std::string& id) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        topicId_ = id;
    }
    wake_();
}

void Outbox::PushFrame(const QueuedFrame& frame) {
    bool wasEmpty = false;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        ++counters_.read;
        // With a rate only the newest frame waits.
        const size_t room = rate_ > 0 ? 1 : capacity_;
        while (frames_.size() >= room) {
            frames_.pop_front();
            ++counters_.dropped;
        }
        wasEmpty = frames_.empty();
        frames_.push_back(frame);
    }
    if (wasEmpty) {
        wake_();
    }
}

namespace {

bool IsColor(const Message& m) {
    return !m.wholeTopic && m.topic == "color";
}

} // namespace

void Outbox::PushMessage(Message m) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (IsColor(m) && waitingColors_ >= capacity_) {
            const auto oldest = std::find_if(messages_.begin(), messages_.end(), IsColor);
            messages_.erase(oldest);
            --waitingColors_;
            ++counters_.colorsDropped;
        }
        waitingColors_ += IsColor(m) ? 1 : 0;
        messages_.push_back(std::move(m));
    }
    wake_();
}

void Outbox::CountLinkError() {
    const std::lock_guard<std::mutex> lock(mutex_);
    ++counters_.linkErrors;
}

void Outbox::CountReconnect() {
    const std::lock_guard<std::mutex> lock(mutex_);
    ++counters_.reconnects;
}

void Outbox::SetOnline(bool online, const std::string& reason) {
    const std::lock_guard<std::mutex> lock(mutex_);
    online_ = online;
    offlineReason_ = reason;
}

bool Outbox::TakeCommand(Command* c) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (commands_.empty()) {
        return false;
    }
    *c = std::move(commands_.front());
    commands_.pop_front();
    return true;
}

bool Outbox::CommandWaiting() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return !commands_.empty();
}

void Outbox::SetCommandHook(std::function<void()> hook) {
    const std::lock_guard<std::mutex> lock(mutex_);
    commandHook_ = std::move(hook);
}

std::string Outbox::TopicId() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return topicId_;
}

bool Outbox::TakeMessage(Message* m) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (messages_.empty()) {
        return false;
    }
    *m = std::move(messages_.front());
    messages_.pop_front();
    waitingColors_ -= IsColor(*m) ? 1 : 0;
    return true;
}

void Outbox::PutBack(Message m) {
    const std::lock_guard<std::mutex> lock(mutex_);
    waitingColors_ += IsColor(m) ? 1 : 0;
    messages_.push_front(std::move(m));
}

void Outbox::PutBack(const QueuedFrame& f) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (frames_.size() < capacity_) {
        frames_.push_front(f);
    } else {
        ++counters_.dropped;
    }
}

bool Outbox::TakeFrame(QueuedFrame* f, std::chrono::steady_clock::time_point now) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (frames_.empty() || (rate_ > 0 && now < nextDue_)) {
        return false;
    }
    *f = frames_.front();
    frames_.pop_front();
    if (rate_ > 0) {
        const auto period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(1.0 / rate_));
        // The pace holds on average; a late frame does not make the next early.
        nextDue_ = now - nextDue_ > period ? now + period : nextDue_ + period;
    }
    return true;
}

std::chrono::steady_clock::time_point Outbox::NextFrameDue() {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (frames_.empty()) {
        return std::chrono::steady_clock::time_point::max();
    }
    return rate_ > 0 ? nextDue_ : std::chrono::steady_clock::time_point{};
}

void Outbox::CountPublished(uint64_t n) {
    const std::lock_guard<std::mutex> lock(mutex_);
    counters_.published += n;
}

Counters Outbox::Snapshot() {
    const std::lock_guard<std::mutex> lock(mutex_);
    Counters c = counters_;
    c.waiting = frames_.size();
    return c;
}

bool Outbox::Online(std::string* reason) {
    const std::lock_guard<std::mutex> lock(mutex_);
    *reason = offlineReason_;
    return online_;
}

bool Outbox::PostCommand(Command c) {
    std::function<void()> hook;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (commands_.size() >= kMaxCommands) {
            return false;
        }
        commands_.push_back(std::move(c));
        hook = commandHook_;
    }
    if (hook) {
        hook();
    }
    return true;
}

} // namespace gateway
