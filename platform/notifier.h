// A list of observers of one kind of change. Models own their notifiers and
// call Notify after a change; views and other consumers subscribe. Pure C++
// so that the models stay free of any user interface.
#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace platform {

template <class... Args>
class Notifier {
public:
    using Handler = std::function<void(Args...)>;

    // Adds an observer; the number returned removes it again.
    int Subscribe(Handler handler) {
        const int id = ++lastId_;
        handlers_.push_back({id, std::move(handler)});
        return id;
    }
    void Unsubscribe(int id) {
        for (auto it = handlers_.begin(); it != handlers_.end(); ++it) {
            if (it->first == id) {
                handlers_.erase(it);
                return;
            }
        }
    }
    void Clear() { handlers_.clear(); }
    size_t Count() const { return handlers_.size(); }

    // Calls every observer in the order they subscribed. An observer may
    // subscribe or unsubscribe while it is called: the call goes to the
    // observers present when Notify began.
    void Notify(Args... args) const {
        if (handlers_.empty()) {
            return;
        }
        const auto snapshot = handlers_;
        for (const auto& h : snapshot) {
            h.second(args...);
        }
    }

private:
    std::vector<std::pair<int, Handler>> handlers_;
    int lastId_ = 0;
};

} // namespace platform
