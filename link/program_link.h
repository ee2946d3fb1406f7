// transitional: the program's link for code not yet given the link it works
// on; removed once every folder gets its sensor's parts.
#pragma once

#include "link/com232.h"

namespace com232 {

SensorLink& ProgramLink();
void SetProgramLink(SensorLink* link);

} // namespace com232
