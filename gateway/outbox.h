// What one sensor's worker hands to the broker connection, and the commands
// that come back: frames in a bounded queue (the oldest goes when it is
// full; with a rate only the newest waits), the state, colour, parameter
// and reply messages in order (state, parameter and reply messages are
// never dropped; colour changes are bounded by the queue's size too, so a
// broker away for days cannot exhaust the memory), the counters of the
// stats topic. Thread-safe.
#pragma once

#include "gateway/commands.h"
#include "live/live_frame.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

namespace gateway {

using WallClock = std::chrono::system_clock;

struct Message {
    std::string topic; // below the sensor's topic ("state"), or whole with `wholeTopic`
    std::string payload;
    bool retain = false;
    int qos = 1;
    bool wholeTopic = false;
    std::string correlation; // MQTT 5 correlation data of a reply
};

struct QueuedFrame {
    live::LiveDataFrameBytes frame;
    WallClock::time_point received;
    uint64_t number = 0; // frames read from this sensor since the start
};

struct Counters {
    uint64_t read = 0;
    uint64_t published = 0;
    uint64_t dropped = 0;
    uint64_t linkErrors = 0;
    uint64_t reconnects = 0;
    // Colour changes that waited for the broker longer than the queue
    // holds (the oldest go; the newest colour always stays).
    uint64_t colorsDropped = 0;
    size_t waiting = 0; // frames in the queue
};

class Outbox {
public:
    // `capacity` frames wait at most; `rate` > 0 frames a second leave at
    // most (the newest wins). `wake` tells the publisher there is work.
    Outbox(size_t capacity, double rate, std::function<void()> wake);

    // ---- the worker's side ------------------------------------------
    // The topic level the sensor publishes under, once known.
    void SetTopicId(const std::string& id);
    void PushFrame(const QueuedFrame& frame);
    void PushMessage(Message m);
    void CountLinkError();
    void CountReconnect();
    void SetOnline(bool online, const std::string& reason);
    // The next command, when one waits.
    bool TakeCommand(Command* c);
    bool CommandWaiting();
    // Called (from the publisher's thread) when a command has been posted.
    void SetCommandHook(std::function<void()> hook);

    // ---- the publisher's side ---------------------------------------
    std::string TopicId();
    bool TakeMessage(Message* m);
    // A message or frame the broker did not take goes back to the front.
    void PutBack(Message m);
    void PutBack(const QueuedFrame& f);
    // The next frame due at `now` (a rate holds the others back).
    bool TakeFrame(QueuedFrame* f, std::chrono::steady_clock::time_point now);
    // When the frame held back by the rate is due; max() when none waits.
    std::chrono::steady_clock::time_point NextFrameDue();
    void CountPublished(uint64_t n);
    Counters Snapshot();
    // False (with the reason) while the sensor is offline; a command is
    // refused then.
    bool Online(std::string* reason);
    // Queues a command for the worker; false when too many wait.
    bool PostCommand(Command c);

private:
    std::mutex mutex_;
    const size_t capacity_;
    const double rate_;
    const std::function<void()> wake_;
    std::function<void()> commandHook_;
    std::string topicId_;
    std::deque<QueuedFrame> frames_;
    std::deque<Message> messages_;
    size_t waitingColors_ = 0; // "color" messages in messages_
    std::deque<Command> commands_;
    std::chrono::steady_clock::time_point nextDue_{};
    Counters counters_;
    bool online_ = false;
    std::string offlineReason_ = "not connected yet";
};

} // namespace gateway
