// The scope's orders on the link, free of any panel: one capture (order 110
// with the five settings, then the four sample blocks the sensor sends once
// it has triggered and filled its ring, each put in time order), breaking a
// capture off (order 110 with 0), and the cycle time (order 105). The scope
// page and the command-line tool run the same code.
#pragma once

#include "scope/scope_logic.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>

namespace com232 {
class SensorLink;
}

namespace scope {

// The state of a capture on one sensor's link.
struct ScanState {
    // Set once a capture has been acknowledged; BreakDataScan (or a stop
    // from another thread) clears it and the wait for the blocks gives up.
    std::atomic<uint16_t> ScanActive{0};
    // From the capture's acknowledgment to its end: the link then carries
    // the capture's blocks, which a break must not take for its answer nor
    // drop from under the capture.
    bool captureOpen = false;
    // The break order went out during the capture's wait; its
    // acknowledgment is still to be taken.
    bool breakSent = false;
};

enum class CaptureEnd { Complete, Broken, Failed };

// Sends the settings and waits for the four blocks. There is no time-out on
// the wait for the trigger (it may take any time); it ends when the blocks
// are in, on BreakDataScan, on a link failure (reported by the link), when
// the blocks stop coming halfway, or when the program is closed. `acknowledged`
// (may be empty) is called once the sensor has taken the order, when a break
// becomes possible. Only a complete capture fills *blocks (time-ordered with
// the settings sent); any other end leaves it as it was.
CaptureEnd CaptureScope(com232::SensorLink& link, ScanState& scan,
                        const std::array<uint16_t, kScopeSettingCount>& settings,
                        std::array<SampleBlock, kScopeBlocks>* blocks,
                        const std::function<void()>& acknowledged = {});

// Order 110 with parameter 0, then the scan-active flag cleared. Inside a
// capture's wait the order goes out at once and the capture, as it ends,
// takes the acknowledgment behind the blocks the sensor was still sending.
void BreakDataScan(com232::SensorLink& link, ScanState& scan);

// The capture's link flags to their start values.
void ResetCaptureLinkFlags(ScanState& scan);

// Order 105: the sensor's cycle time in ms, 0 when it could not be read (a
// failed exchange has been reported by the link).
double ReadCycleTime(com232::SensorLink& link);

} // namespace scope
