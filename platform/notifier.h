// A list of observers of one kind of change. Models own their notifiers and
// call Notify after a change; views and other consumers subscribe. Pure C++
// so that the models stay free of any user interface.
#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace platform {

// What Connect returns: the observer stays subscribed as long as the handle
// lives (a view holds the handles of its subscriptions and so ends them when
// it goes). A handle may outlive its notifier; it then does nothing.
class Subscription {
public:
    Subscription() = default;
    Subscription(std::weak_ptr<void> alive, std::function<void()> end)
        : alive_(std::move(alive)), end_(std::move(end)) {}
    Subscription(Subscription&& o) noexcept { *this = std::move(o); }
    Subscription& operator=(Subscription&& o) noexcept {
        if (this != &o) {
            Reset();
            alive_ = std::move(o.alive_);
            end_ = std::move(o.end_);
            o.end_ = nullptr;
        }
        return *this;
    }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { Reset(); }

    // Ends the subscription now.
    void Reset() {
        if (end_ && !alive_.expired()) {
            end_();
        }
        end_ = nullptr;
        alive_.reset();
    }

private:
    std::weak_ptr<void> alive_;
    std::function<void()> end_;
};

// Subscriptions held together and ended together.
class Subscriptions {
public:
    void Add(Subscription s) { list_.push_back(std::move(s)); }
    Subscriptions& operator+=(Subscription s) {
        Add(std::move(s));
        return *this;
    }
    void Clear() { list_.clear(); }

private:
    std::vector<Subscription> list_;
};

template <class... Args>
class Notifier {
public:
    using Handler = std::function<void(Args...)>;

    Notifier() = default;
    // Observers hold on to this very notifier.
    Notifier(const Notifier&) = delete;
    Notifier& operator=(const Notifier&) = delete;

    // Adds an observer for as long as the handle returned lives.
    [[nodiscard]] Subscription Connect(Handler handler) {
        const int id = Subscribe(std::move(handler));
        return Subscription(alive_, [this, id] { Unsubscribe(id); });
    }

    // Adds an observer; the number returned removes it again.
    int Subscribe(Handler handler) {
        const int id = ++lastId_;
        (depth_ > 0 ? added_ : handlers_).push_back({id, std::move(handler)});
        return id;
    }
    void Unsubscribe(int id) {
        for (auto* list : {&handlers_, &added_}) {
            for (auto it = list->begin(); it != list->end(); ++it) {
                if (it->first == id) {
                    if (depth_ > 0 && list == &handlers_) {
                        it->first = 0; // removed once the notification is over
                        removed_ = true;
                    } else {
                        list->erase(it);
                    }
                    return;
                }
            }
        }
    }
    void Clear() {
        for (auto& h : handlers_) {
            h.first = 0;
        }
        removed_ = true;
        added_.clear();
        if (depth_ == 0) {
            Tidy();
        }
    }
    size_t Count() const {
        size_t n = added_.size();
        for (const auto& h : handlers_) {
            n += h.first != 0 ? 1 : 0;
        }
        return n;
    }

    // Calls every observer in the order they subscribed. This runs for every
    // received frame, so it copies nothing: an observer that subscribes or
    // unsubscribes while it is called takes effect once the call is over,
    // and the call goes to the observers present when Notify began.
    void Notify(Args... args) {
        const size_t count = handlers_.size();
        ++depth_;
        for (size_t i = 0; i < count; ++i) {
            handlers_[i].second(args...);
        }
        if (--depth_ == 0) {
            Tidy();
        }
    }

private:
    void Tidy() {
        if (removed_) {
            std::erase_if(handlers_, [](const auto& h) { return h.first == 0; });
            removed_ = false;
        }
        for (auto& h : added_) {
            handlers_.push_back(std::move(h));
        }
        added_.clear();
    }

    std::vector<std::pair<int, Handler>> handlers_;
    std::vector<std::pair<int, Handler>> added_; // subscribed during a notification
    int lastId_ = 0;
    int depth_ = 0;
    bool removed_ = false;
    // Expires with the notifier, so that a handle outliving it does nothing.
    std::shared_ptr<void> alive_ = std::make_shared<int>(0);
};

} // namespace platform
