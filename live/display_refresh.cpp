#include "live/display_refresh.h"

#include "platform/runtime.h"

#include <QCoreApplication>
#include <QTimer>

#include <array>
#include <bit>
#include <vector>

namespace live {
namespace {

constexpr int kParts = 6; // one per DisplayPart bit
std::array<std::function<void()>, kParts> gWriters;
// Writers of other subsystems' displays of the same part, after the owner's.
std::array<std::vector<std::function<void()>>, kParts> gMoreWriters;
unsigned gPending = 0;
double gInterval = 1.0 / 60.0;
double gLastRefresh = -1e9;
bool gWriting = false;
RefreshCounters gCounters;

// The writer slot of a part: the position of its bit.
int IndexOf(DisplayPart part) {
    return std::countr_zero(static_cast<unsigned>(part));
}

// Fires once after the last request of a burst so that the displays end on
// the newest state even when no further frame comes.
QTimer* TrailingTimer() {
    static QTimer* timer = [] {
        auto* t = new QTimer(QCoreApplication::instance());
        t->setSingleShot(true);
        QObject::connect(t, &QTimer::timeout, t, [] { FlushDisplays(); });
        return t;
    }();
    return timer;
}

} // namespace

void SetDisplayWriter(DisplayPart part, std::function<void()> writer) {
    gWriters[static_cast<size_t>(IndexOf(part))] = std::move(writer);
}

void AddDisplayWriter(DisplayPart part, std::function<void()> writer) {
    gMoreWriters[static_cast<size_t>(IndexOf(part))].push_back(std::move(writer));
}

void ClearAddedDisplayWriters() {
    for (auto& writers : gMoreWriters) {
        writers.clear();
    }
}

void SetRefreshInterval(double seconds) {
    gInterval = seconds < 0 ? 0 : seconds;
}

void RequestDisplay(unsigned parts) {
    ++gCounters.requests;
    gPending |= parts;
    const double now = platform::Timer();
    if (now - gLastRefresh >= gInterval) {
        FlushDisplays();
        return;
    }
    if (QCoreApplication::instance() != nullptr) {
        QTimer* t = TrailingTimer();
        if (!t->isActive()) {
            const double wait = gInterval - (now - gLastRefresh);
            t->start(static_cast<int>(wait * 1000.0) + 1);
        }
    }
}

void FlushDisplays() {
    if (gWriting || gPending == 0) {
        return; // a writer that processes events must not start another round
    }
    gWriting = true;
    if (QCoreApplication::instance() != nullptr) {
        TrailingTimer()->stop(); // this refresh is the one it was waiting for
    }
    const unsigned parts = gPending;
    gPending = 0;
    for (int i = 0; i < kParts; ++i) {
        if ((parts & (1u << i)) == 0) {
            continue;
        }
        if (gWriters[static_cast<size_t>(i)]) {
            gWriters[static_cast<size_t>(i)]();
        }
        for (const auto& w : gMoreWriters[static_cast<size_t>(i)]) {
            w();
        }
    }
    gLastRefresh = platform::Timer();
    ++gCounters.refreshes;
    gWriting = false;
}

RefreshCounters DisplayCounters() {
    return gCounters;
}

void ResetDisplayCounters() {
    gCounters = {};
}

} // namespace live

namespace live {
void DiscardPendingDisplays() {
    gPending = 0;
    if (QCoreApplication::instance() != nullptr) {
        TrailingTimer()->stop();
    }
}
} // namespace live
