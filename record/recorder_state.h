// The recorder's state on one sensor, free of any panel: the counters of
// the recording that runs (or ran last), whether one runs (no second one
// starts on the sensor meanwhile), and the first line that could not be
// written since it started. The recorder page shows it.
#pragma once

#include <cstdint>
#include <string>

namespace record {

struct RecorderState {
    uint16_t recorded = 0;    // frames recorded in modes 0 and 2
    double runCounter = 0;    // requests of mode 1, frames of mode 3
    bool running = false;     // a timed or triggered recording runs
    bool writeFailed = false; // a line could not be written since the recording started
    std::string writeError;   // the file and the reason
};

} // namespace record
