#include "live/go_loop.h"

#include "link/com232.h"
#include "live/frame_stream.h"
#include "params/parameter_model.h"
#include "params/transfer_ops.h"
#include "params/transfer_state.h"
#include "platform/runtime.h"
#include "platform/wake_latency.h"
#include "platform/worker_thread.h"

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace live {
namespace {

using namespace std::chrono_literals;

// The frames come to the displays at least this often (milliseconds); the
// window's thread wakes no more often than that while nothing else happens.
constexpr int kPublishMs = 8;

// The frames a worker received, on their way to the window's thread, which
// publishes them. When the window falls this far behind (a modal dialog
// open, a long redraw), the worker waits for it rather than lose frames.
class FrameMailbox {
public:
    static constexpr size_t kCapacity = 4096;

    // On the worker: adds a frame; waits while the box is full and the loop
    // is to go on.
    void Put(const LiveDataFrameBytes& f, const std::atomic<uint16_t>& running) {
        std::unique_lock<std::mutex> lock(mutex_);
        while (frames_.size() >= kCapacity && running == 1 && !pause) {
            room_.wait_for(lock, 20ms);
        }
        frames_.push_back(f);
    }
    // On the window's thread: everything received so far, oldest first.
    std::vector<LiveDataFrameBytes> Take() {
        std::vector<LiveDataFrameBytes> taken;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            taken.swap(frames_);
        }
        room_.notify_one();
        return taken;
    }

    std::atomic<bool> pause{false};    // the window wants the link (SEND, GET)
    std::atomic<bool> finished{false}; // the worker has stopped polling
    unsigned long long failures = 0;   // the worker's; read once it has ended

private:
    std::mutex mutex_;
    std::condition_variable room_;
    std::vector<LiveDataFrameBytes> frames_;
};

// The worker's part: exchanges on the lent link until the loop is stopped,
// an exchange fails (which stops it) or the window wants the link; then the
// link goes back to the window's thread.
void PollOnWorker(com232::SensorLink& link, FrameMailbox& box) {
    while (link.AcquisitionRunning == 1 && !box.pause) {
        link.FillTxBuf(com232::kOrderLiveData, 0, 0);
        if (link.DataExchange(static_cast<int>(com232::kHeaderSize)) == 1) {
            box.Put(FrameFromAnswer(link), link.AcquisitionRunning);
        } else {
            ++box.failures;
        }
    }
    link.GiveBack();
    box.finished = true;
    platform::WakeEventWait();
}

// A stretch of polling with the link lent to a worker, while this (the
// window's) thread serves its events and publishes the frames as they come;
// the displays draw them at screen rate. Ends when the worker stops; false
// when it stopped at a failed exchange.
bool PollLent(com232::SensorLink& link, params::TransferState& transfer,
              params::ParameterModel& model, FrameStream& frames, LiveState& live) {
    FrameMailbox box;
    const auto publish = [&] {
        for (const LiveDataFrameBytes& f : box.Take()) {
            frames.Publish(f, kUseGo, model.EvaluationMode());
            ++live.GoLoopCounters.frames;
        }
    };
    {
        // The worker waits until the link is lent to it.
        std::promise<platform::ThreadToken> started;
        std::promise<void> lent;
        std::shared_future<void> mayStart = lent.get_future().share();
        platform::WorkerThread worker([&] {
            platform::PreferShortWakeLatency();
            started.set_value(platform::CurrentThreadToken());
            mayStart.wait();
            PollOnWorker(link, box);
        });
        link.Lend(started.get_future().get());
        lent.set_value();
        while (!box.finished) {
            if (QCoreApplication::instance() != nullptr) {
                // Woken by the window's events, at the latest after
                // kPublishMs, and at once when the worker has ended.
                platform::ProcessSystemEventsFor(kPublishMs);
            } else {
                std::this_thread::sleep_for(1ms);
            }
            publish();
            if (transfer.SendPending || transfer.GetPending) {
                box.pause = true; // they go out between two requests, from here
            }
        }
    } // the worker has ended
    publish();
    live.GoLoopCounters.failures += box.failures;
    // The failure that ended the loop, if any, is told after its frames.
    link.TakeBack();
    return box.failures == 0;
}

// The polling loop where the link blocks anyway (a worker's own link).
void PollHere(com232::SensorLink& link, params::ParameterModel& model, FrameStream& frames,
              LiveState& live) {
    link.FillTxBuf(com232::kOrderLiveData, 0, 0);
    if (link.DataExchange(static_cast<int>(com232::kHeaderSize)) == 1) {
        frames.Publish(FrameFromAnswer(link), kUseGo, model.EvaluationMode());
        ++live.GoLoopCounters.frames;
    } else {
        ++live.GoLoopCounters.failures;
    }
}

} // namespace

void GetData(com232::SensorLink& link, params::TransferState& transfer,
             params::ParameterModel& model, FrameStream& frames, LiveState& live) {
    auto& AcquisitionRunning = link.AcquisitionRunning;
    AcquisitionRunning = 1;
    // A window's link is lent to a worker for the exchanges, so that they
    // never wait for the window's drawing; SEND and GET go out from the
    // window's thread between two stretches.
    const bool lend = link.Policy() == com232::WaitPolicy::ServeEvents;
    for (;;) {
        if (transfer.SendPending) {
            params::SendPara(link, model, transfer);
            if (AcquisitionRunning == 0) {
                break;
            }
        }
        if (transfer.GetPending) {
            params::GetPara(link, model, transfer);
        }
        if (AcquisitionRunning == 0) {
            break;
        }
        if (lend) {
            const bool ok = PollLent(link, transfer, model, frames, live);
            // A SEND or GET pressed while the worker polled goes out next,
            // also when STOP followed it before the worker had ended; a
            // failed exchange ends the loop.
            if (!ok || (AcquisitionRunning != 1 && !transfer.SendPending && !transfer.GetPending)) {
                break;
            }
            continue;
        }
        PollHere(link, model, frames, live);
        if (AcquisitionRunning != 1) {
            break;
        }
    }
}

LiveDataFrameBytes FrameFromAnswer(const com232::SensorLink& link) {
    LiveDataFrameBytes f;
    std::memcpy(f.bytes, link.RxData(), kLiveFrameSize);
    return f;
}

void TakeFrameFromAnswer(const com232::SensorLink& link, FrameStream& frames) {
    frames.CurrentForEdit() = FrameFromAnswer(link);
}

} // namespace live
