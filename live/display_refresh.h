// Screen-rate refresh of the live displays. A loop that receives frames
// faster than a screen can show them updates the model on every frame and
// asks for the displays here; the widgets and graphs are then written at
// most about 60 times a second, always from the latest state, and once more
// after the last request (a short single-shot timer, or FlushDisplays when a
// loop ends) so that the screen always ends on the newest frame.
#pragma once

#include <cstdint>
#include <functional>

namespace live {

// The display groups that can be pending.
enum DisplayPart : unsigned {
    kShowPanelData = 1u << 0,   // data panel, big panels, mean-value panel numerics
    kShowCalibData = 1u << 1,   // raw values on the calibration page
    kShowGraphs = 1u << 2,      // strip charts and colour-space views
    kShowSignalGraph = 1u << 3, // signal-graph panel
    kShowTeachGraph = 1u << 4,  // graph teach panel: recorded points, cursors, counter
    kShowRecorder = 1u << 5     // counters of the recorder page
};

// Marks `parts` pending and writes all pending displays if the last refresh
// is at least one refresh interval ago.
void RequestDisplay(unsigned parts);
// Writes every pending display now (end of a loop, tests).
void FlushDisplays();

// The writer of each part, installed by the module that owns the displays.
void SetDisplayWriter(DisplayPart part, std::function<void()> writer);
// A further writer of a part for another subsystem's displays that show the
// same state (e.g. the mean-value panel's numerics with the data panel);
// it runs after the owner's writer.
void AddDisplayWriter(DisplayPart part, std::function<void()> writer);
// Removes every writer added with AddDisplayWriter (panels discarded, tests).
void ClearAddedDisplayWriters();

// Shortest time between two refreshes in seconds (1/60 by default; 0 makes
// every request write at once, which tests use).
void SetRefreshInterval(double seconds);

struct RefreshCounters {
    uint64_t requests = 0;  // RequestDisplay calls
    uint64_t refreshes = 0; // times the pending displays were written
};
RefreshCounters DisplayCounters();
void ResetDisplayCounters();

} // namespace live

namespace live {
// Drops whatever is pending and stops the trailing refresh (panels discarded, tests).
void DiscardPendingDisplays();
} // namespace live
