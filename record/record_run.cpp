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

// Waits, processing events, until `due`; returns at once when the run is
// stopped.
void WaitUntil(double due) {
    while (com232::AcquisitionRunning == 1) {
        const double left = due - platform::Timer();
        if (left <= 0) {
            return;
        }
        if (left > kFineWaitSeconds) {
            platform::ProcessSystemEvents();
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
bool TakeStreamFrame(const RunHooks& hooks, RunCounters* counters) {
    if (com232::CheckHeaderCRC() != 1) {
        return false;
    }
    if (com232::AnswerLength != 0 && com232::GetDataFrame() != 1) {
        return false;
    }
    if (com232::AnswerOrder != com232::kOrderLiveData) {
        return true;
    }
    if (!hooks.frame(FrameOfData(com232::RxData(), com232::AnswerLength))) {
        com232::AcquisitionRunning = 0;
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
void TakeStream(const RunHooks& hooks, RunCounters* counters, uint32_t maxFrames) {
    for (;;) {
        if (maxFrames != 0 && counters->runCounter >= maxFrames) {
            com232::AcquisitionRunning = 0;
            return;
        }
        com232::PullReceived();
        if (com232::LineErrors() > 0) {
            com232::StatusText = kTextPortError;
            com232::SetTimeout();
            return;
        }
        if (com232::AcquisitionRunning != 1 && !com232::WholeFrameReceived()) {
            return;
        }
        if (com232::RxCount < static_cast<int>(com232::kHeaderSize)) {
            com232::AwaitMoreBytes();
            continue;
        }
        if (!TakeStreamFrame(hooks, counters)) {
            return;
        }
        com232::DropAnswer();
    }
}

} // namespace

void RunTimedRecording(const TimedRun& run, const RunHooks& hooks, RunCounters* counters) {
    com232::AcquisitionRunning = 1;
    *counters = {};
    Counted(hooks);
    const double interval = std::max(run.interval, kMinRecordInterval);
    double due = platform::Timer();
    while (com232::AcquisitionRunning == 1) {
        if (hooks.cycle) {
            hooks.cycle(platform::Timer());
        }
        com232::FillTxBuf(com232::kOrderLiveData, 0, 0);
        if (com232::DataExchange(static_cast<int>(com232::kHeaderSize)) == 1) {
            if (!hooks.frame(FrameOfData(com232::RxData(), live::kLiveFrameSize))) {
                com232::AcquisitionRunning = 0;
                break;
            }
        }
        // A failed exchange still counts.
        if (run.mode == kModeTimedCount) {
            counters->recorded += 1;
            if (counters->recorded >= run.count) {
                com232::AcquisitionRunning = 0;
            }
        } else if (run.mode == kModeTimedEndless) {
            counters->runCounter += 1;
        }
        Counted(hooks);
        // The pace is kept from request start to request start.
        due = NextCycleStart(due, interval, platform::Timer());
        WaitUntil(due);
    }
}

bool RunTriggeredRecording(const RunHooks& hooks, RunCounters* counters, uint32_t maxFrames) {
    com232::FillTxBuf(com232::kOrderAutoSend, 1, 0);
    if (com232::DataExchange(static_cast<int>(com232::kHeaderSize)) != 1) {
        return false;
    }
    com232::ComErrorBits = 0;
    com232::AcquisitionRunning = 1;
    *counters = {};
    Counted(hooks);
    // A frame that came right behind the acknowledgment is kept.
    com232::DropAnswer();
    // No time-out while waiting: the run waits for the next frame, a link
    // failure or the stop.
    com232::HoldLinkForStream(true);
    TakeStream(hooks, counters, maxFrames);
    com232::HoldLinkForStream(false);
    return true;
}

void StopAutoSend() {
    if (!com232::LinkOpen()) {
        return; // the connection is gone: nothing can reach the sensor
    }
    com232::FillTxBuf(com232::kOrderAutoSend, 0, 0);
    com232::DataExchange(static_cast<int>(com232::kHeaderSize)); // the answer is not checked
}

} // namespace record
