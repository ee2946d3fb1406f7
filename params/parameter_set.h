// transitional: read access to the parameter set that the program's
// parameter model holds, for code that only reads the blocks in their wire
// layout and is not yet given its sensor's model; removed once every folder
// gets its parts.
#pragma once

#include "params/parameter_layout.h"

namespace params {

extern const ParameterBlockBytes& ParameterBlock;
extern const TeachTableBytes& TeachTable;

// Start values: the program's model reset (tests).
void ResetParameterSet();

} // namespace params
