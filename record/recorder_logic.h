// Recorder rules free of any panel: which controls each record mode uses,
// and the record time of a timed recording split into days, hours, minutes
// and seconds.
#pragma once

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

} // namespace record
