// Recorder rules free of any panel: which controls each record mode uses,
// the record time of a timed recording split into days, hours, minutes and
// seconds, the schedule of a timed recording, and taking frames out of a
// stream of unasked frames.
#pragma once

#include "live/live_frame.h"

#include <cstddef>
#include <cstdint>

namespace record {

constexpr int kModeTimedCount = 0;
constexpr int kModeTimedEndless = 1;
constexpr int kModeManual = 2;
constexpr int kModeTriggered = 3;

// Shortest time between two records of a timed recording, seconds.
constexpr double kMinRecordInterval = 0.25;

// The controls of the recorder page that a record mode shows.
struct RecordModeView {
    bool interval = false;
    bool count = false;
    bool recordTime = false;
    bool recorded = false;
    bool remaining = false;
    bool runCounter = false;
    bool startRecord = false;
    bool stopRecord = false;
    bool startTrigRec = false;
    bool manualRecord = false;
};
// An unknown mode shows what mode 0 shows.
RecordModeView ViewOfRecordMode(int mode);

struct RecordTime {
    int days = 0;
    int hours = 0;
    int minutes = 0;
    double seconds = 0; // with fraction
};
// Splits a duration; negative or non-finite durations give zero.
RecordTime SplitRecordTime(double totalSeconds);

// Start of the next request of a timed recording whose current request was
// due at `due`: one interval later, so the requests keep their pace however
// late each wait ends; when that moment has passed already (the exchange
// took longer than the interval) the next request goes out `now`.
double NextCycleStart(double due, double interval, double now);

// The LiveDataFrame of `length` answer data bytes; fields the data do not
// reach are 0, bytes beyond the frame are ignored.
live::LiveDataFrameBytes FrameOfData(const uint8_t* data, size_t length);

} // namespace record
