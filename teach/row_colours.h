// The row indicator colours of the teach table, as the parameter model holds
// them; the teach grid, the attribute table, the group table and the hold
// table show them.
#pragma once

#include <cstdint>

namespace teach {

// Read access by row number (0..30) for code that draws with the colours.
struct RowColourTable {
    uint32_t operator[](int row) const;
};
extern const RowColourTable RowColours;

// The colours back to the built-in palette (the row texts stay).
void ResetRowColours();
// Shows every row's colour again in the four tables.
void PaintRowColours();

} // namespace teach
