#include "record/recorder_logic.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace record {

RecordModeView ViewOfRecordMode(int mode) {
    RecordModeView v;
    switch (mode) {
    case kModeTimedEndless:
        v.interval = v.runCounter = v.startRecord = v.stopRecord = true;
        break;
    case kModeManual:
        v.recorded = v.manualRecord = true;
        break;
    case kModeTriggered:
        v.runCounter = v.startTrigRec = v.stopRecord = true;
        break;
    default:
        v.interval = v.count = v.recordTime = v.recorded = v.remaining = true;
        v.startRecord = v.stopRecord = true;
        break;
    }
    return v;
}

RecordTime SplitRecordTime(double totalSeconds) {
    RecordTime t;
    // More days than an int holds are no record time anyone waits for.
    if (!std::isfinite(totalSeconds) || totalSeconds <= 0 || totalSeconds >= 86400.0 * 1e6) {
        return t;
    }
    t.days = static_cast<int>(totalSeconds / 86400.0);
    double rest = totalSeconds - t.days * 86400.0;
    t.hours = static_cast<int>(rest / 3600.0);
    rest -= t.hours * 3600.0;
    t.minutes = static_cast<int>(rest / 60.0);
    t.seconds = rest - t.minutes * 60.0;
    return t;
}

double NextCycleStart(double due, double interval, double now) {
    const double next = due + interval;
    return next < now ? now : next;
}

live::LiveDataFrameBytes FrameOfData(const uint8_t* data, size_t length) {
    live::LiveDataFrameBytes f;
    std::memcpy(f.bytes, data, std::min(length, live::kLiveFrameSize));
    return f;
}

} // namespace record
