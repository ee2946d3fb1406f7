#include "link/program_link.h"

namespace com232 {
namespace {

SensorLink* gProgramLink = nullptr;

} // namespace

SensorLink& ProgramLink() {
    if (gProgramLink == nullptr) {
        static SensorLink fallback;
        gProgramLink = &fallback;
    }
    return *gProgramLink;
}

void SetProgramLink(SensorLink* link) {
    gProgramLink = link;
}

} // namespace com232
