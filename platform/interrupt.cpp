#include "platform/interrupt.h"

#include <csignal>

namespace platform {
namespace {

volatile std::sig_atomic_t gInterrupt = 0;

} // namespace

void RequestInterrupt() {
    gInterrupt = 1;
}

bool InterruptRequested() {
    return gInterrupt != 0;
}

void ClearInterrupt() {
    gInterrupt = 0;
}

} // namespace platform
