// State shared by the recorder's page functions and its loops.
#pragma once

#include "record/recorder.h"

#include <string>

namespace record::detail {

struct RecorderState {
    uint16_t recorded = 0;    // modes 0 and 2
    double runCounter = 0;    // modes 1 and 3
    bool loopRunning = false; // a timed or triggered recording is in its callback
    bool writeFailed = false; // a line could not be written since the loop started
    std::string writeError;   // the file and the reason
    CycleHook cycleHook = nullptr;
};
RecorderState& State();

// Asks for the recorded, remaining and run-counter displays (screen rate).
void ShowCounters();
// The "ATTENTION!" popup for the line that could not be written.
void ReportWriteFailure(bool recordingStopped);

} // namespace record::detail
