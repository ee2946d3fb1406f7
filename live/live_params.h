// transitional: what the live displays of other subsystems read of the
// program's parameter set (the calculation and evaluation modes), for code
// not yet given its sensor's parameter model; removed once every folder
// gets its parts.
#pragma once

#include "params/parameter_model.h"

namespace live {

const params::ParameterModel& Parameters();

} // namespace live
