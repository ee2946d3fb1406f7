// The row indicator colours of the teach table, as the parameter model
// holds them; the teach grid, the attribute table, the group table and the
// hold table show them.
#pragma once

namespace params {
class ParameterModel;
}

namespace teach {

// The colours back to the built-in palette (the row texts stay).
void ResetRowColours(params::ParameterModel& model);
// Shows every row's colour again in the four tables.
void PaintRowColours(params::ParameterModel& model);

} // namespace teach
