// The scope's state on one sensor, free of any panel: the last complete
// capture with its digital traces, the sensor's cycle time, and which of
// the scope's commands runs. The scope page and panel show it; the state of
// a capture on the link itself is the sensor's ScanState (scope_run.h).
#pragma once

#include "scope/scope_logic.h"

#include <array>

namespace scope {

struct ScopeState {
    // Sample blocks of the last complete capture, in time order: red line,
    // green line, blue line, digital word. A capture that fails or is broken
    // off leaves all four as they were.
    std::array<SampleBlock, kScopeBlocks> ScopeBlocks{};
    DigitalTraceSet DigitalTraces{};
    // Sensor cycle time in ms; 0 until measured.
    double CycleTime = 0;
    bool haveCapture = false;        // ScopeBlocks hold a capture
    bool cycleTimeRunning = false;   // GET CYCLE TIME reads the cycle time
    bool scanRunning = false;        // SCAN's capture runs
    unsigned long long captures = 0; // captures plotted (benchmarks, tests)

    // Takes the four time-ordered blocks of a complete capture as the
    // capture and derives its digital traces.
    void TakeCapture(const std::array<SampleBlock, kScopeBlocks>& blocks) {
        ScopeBlocks = blocks;
        DigitalTraces = DigitalTracesOf(ScopeBlocks[3]);
        haveCapture = true;
    }
};

} // namespace scope
