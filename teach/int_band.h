// The intensity band of the selected teach row on the data panel's 2D page.
#pragma once

namespace teach {

// Draws the band (intensity centre +- tolerance of the row in the No. field)
// on the intensity bar of the 2D page.
void InitGraphInt2();

} // namespace teach
