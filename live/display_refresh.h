// Screen-rate refresh of the live displays. A loop that receives frames
// faster than a screen can show them updates the model on every frame and
// asks for the displays here; the widgets and graphs are then written at
// most about 60 times a second, always from the latest state, and once more
// after the last request (a short single-shot timer, or FlushDisplays when a
// loop ends) so that the screen always ends on the newest frame.
#pragma once

#include "platform/notifier.h"

#include <QPointer>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

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

struct RefreshCounters {
    uint64_t requests = 0;  // RequestDisplay calls
    uint64_t refreshes = 0; // times the pending displays were written
};

// The refresh of one window's displays.
class DisplayRefresh {
public:
    DisplayRefresh() = default;
    ~DisplayRefresh();
    DisplayRefresh(const DisplayRefresh&) = delete;
    DisplayRefresh& operator=(const DisplayRefresh&) = delete;

    // Marks `parts` pending and writes all pending displays if the last
    // refresh is at least one refresh interval ago.
    void Request(unsigned parts);
    // Writes every pending display now (end of a loop, tests).
    void Flush();
    // Drops whatever is pending and stops the trailing refresh.
    void DiscardPending();

    // The writer of a part, installed by the view that owns the displays
    // (an empty function removes it).
    void SetWriter(DisplayPart part, std::function<void()> writer);
    // The same for as long as the handle lives: the writer goes with its
    // view. A writer installed later replaces it, and the earlier handle
    // then removes nothing.
    [[nodiscard]] platform::Subscription InstallWriter(DisplayPart part,
                                                       std::function<void()> writer);
    // A further writer of a part for another view's displays that show the
    // same state (the mean-value panel's numerics with the data panel); it
    // runs after the owner's, as long as the handle lives.
    [[nodiscard]] platform::Subscription AddWriter(DisplayPart part, std::function<void()> writer);

    // Shortest time between two refreshes in seconds (1/60 by default; 0
    // makes every request write at once, which tests use).
    void SetInterval(double seconds) { interval_ = seconds < 0 ? 0 : seconds; }
    RefreshCounters Counters() const { return counters_; }
    void ResetCounters() { counters_ = {}; }

private:
    static constexpr int kParts = 6; // one per DisplayPart bit
    QTimer* TrailingTimer();

    std::array<std::function<void()>, kParts> writers_;
    std::array<uint64_t, kParts> writerIds_{}; // the installation each writer came from
    std::array<platform::Notifier<>, kParts> more_;
    unsigned pending_ = 0;
    double interval_ = 1.0 / 60.0;
    double lastRefresh_ = -1e9;
    bool writing_ = false;
    RefreshCounters counters_;
    // Made with the application object (which it belongs to), when first needed.
    QPointer<QTimer> timer_;
    // Expires with the refresh, so that a writer's handle outliving it does nothing.
    std::shared_ptr<void> alive_ = std::make_shared<int>(0);
};

} // namespace live
