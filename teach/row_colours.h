// The row indicator colours of the teach table, shown in the teach grid, the
// attribute table, the group table and the hold table.
#pragma once

#include <cstdint>

namespace teach {

extern uint32_t RowColours[31];

// RowColours back to the built-in palette.
void ResetRowColours();
// Paints RowColours into the four tables.
void PaintRowColours();

} // namespace teach
