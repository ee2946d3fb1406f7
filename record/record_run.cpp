#include "record/record_run.h"

#include "link/com232.h"
#include "link/frame.h"
#include "platform/runtime.h"
#include "record/record_texts.h"
#include "record/recorder_logic.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace record {
namespace {

// The last few milliseconds before a request are slept through exactly
// rather than in event-processing steps, so the pace holds to well under a
// millisecond.
constexpr double kFineWaitSeconds = 0.0025;

// Waits as the link's policy says (serving events, or asleep) until `due`;
// returns at once when the run is stopped.
void WaitUntil(com232::SensorLink& link, double due) {
    while (link.AcquisitionRunning == 1) {
        const double left = due - platform::Timer();
        if (left <= 0) {
            return;
        }
        if (left > kFineWaitSeconds) {
            link.Pause(std::min(left - kFineWaitSeconds, 0.005));
        } else {
            std::this_thread::sleep_for(std::chrono::duration<double>(left));
        }
    }
}

void Counted(const RunHooks& hooks) {
    if (hooks.counters) {
        hooks.counters();
    }
}

// Takes the frame whose header is at the start of RxBuffer: checks the
// header, reads the data part and hands a live frame to the sink (other
// frames are skipped). False when the run is to end; a link failure has
// been reported by the link.
bool TakeStreamFrame(com232::SensorLink& link, const RunHooks& hooks, RunCounters* counters) {
    if (link.CheckHeaderCRC() != 1) {
        return false;
    }
    if (link.AnswerLength != 0 && link.GetDataFrame() != 1) {
        return false;
    }
    if (link.AnswerOrder != com232::kOrderLiveData) {
        return true;
    }
    if (!hooks.frame(FrameOfData(link.RxData(), link.AnswerLength))) {
        link.AcquisitionRunning = 0;
        return false;
    }
    counters->runCounter += 1;
    Counted(hooks);
    return true;
}

// The frames collect in RxBuffer as the link reads them from the transport;
// each frame taken is removed and what follows it (frames that arrived
// together) moves to the front, so none is lost. A line error reported by
// the port, or a port that is gone, ends the run with its message. When the
// run ends otherwise (stopped, or the sensor closed the connection right
// behind its last frames, which the link reports), the frames already
// received whole are still taken.
void TakeStream(com232::SensorLink& link, const RunHooks& hooks, RunCounters* counters,
                uint32_t maxFrames) {
    for (;;) {
        if (maxFrames != 0 && counters->runCounter >= maxFrames) {
            link.AcquisitionRunning = 0;
            return;
        }
        link.PullReceived();
        if (link.LineErrors() > 0) {
            link.StatusText = kTextPortError;
            link.SetTimeout();
            return;
        }
        if (link.AcquisitionRunning != 1 && !link.WholeFrameReceived()) {
            return;
        }
        if (link.RxCount < static_cast<int>(com232::kHeaderSize)) {
            link.AwaitMoreBytes();
            continue;
        }
        if (!TakeStreamFrame(link, hooks, counters)) {
            return;
        }
        link.DropAnswer();
    }
}

} // namespace

void RunTimedRecording(com232::SensorLink& link, const TimedRun& run, const RunHooks& hooks,
                       RunCounters* counters) {
    link.AcquisitionRunning = 1;
    *counters = {};
    Counted(hooks);
    const double interval = std::max(run.interval, kMinRecordInterval);
    double due = platform::Timer();
    while (link.AcquisitionRunning == 1) {
        if (hooks.cycle) {
            hooks.cycle(platform::Timer());
        }
        link.FillTxBuf(com232::kOrderLiveData, 0, 0);
        if (link.DataExchange(static_cast<int>(com232::kHeaderSize)) == 1) {
            if (!hooks.frame(FrameOfData(link.RxData(), live::kLiveFrameSize))) {
                link.AcquisitionRunning = 0;
                break;
            }
        }
        // A failed exchange still counts.
        if (run.mode == kModeTimedCount) {
            counters->recorded += 1;
            if (counters->recorded >= run.count) {
                link.AcquisitionRunning = 0;
            }
        } else if (run.mode == kModeTimedEndless) {
            counters->runCounter += 1;
        }
        Counted(hooks);
        // The pace is kept from request start to request start.
        due = NextCycleStart(due, interval, platform::Timer());
        WaitUntil(link, due);
    }
}

bool RunTriggeredRecording(com232::SensorLink& link, const RunHooks& hooks, RunCounters* counters,
                           uint32_t maxFrames) {
    link.FillTxBuf(com232::kOrderAutoSend, 1, 0);
    if (link.DataExchange(static_cast<int>(com232::kHeaderSize)) != 1) {
        return false;
    }
    link.ComErrorBits = 0;
    link.AcquisitionRunning = 1;
    *counters = {};
    Counted(hooks);
    // A frame that came right behind the acknowledgment is kept.
    link.DropAnswer();
    // No time-out while waiting: the run waits for the next frame, a link
    // failure or the stop.
    link.HoldLinkForStream(true);
    TakeStream(link, hooks, counters, maxFrames);
    link.HoldLinkForStream(false);
    return true;
}

void StopAutoSend(com232::SensorLink& link) {
    if (!link.LinkOpen()) {
        return; // the connection is gone: nothing can reach the sensor
    }
    link.FillTxBuf(com232::kOrderAutoSend, 0, 0);
    link.DataExchange(static_cast<int>(com232::kHeaderSize)); // the answer is not checked
}

} // namespace record
