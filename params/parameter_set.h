// Read access to the parameter set that the parameter model holds, for code
// that only reads the blocks in their wire layout.
#pragma once

#include "params/parameter_layout.h"

namespace params {

extern const ParameterBlockBytes& ParameterBlock;
extern const TeachTableBytes& TeachTable;

// Start values: the model reset (tests).
void ResetParameterSet();

} // namespace params
