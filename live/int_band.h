// The intensity band of the selected teach row on the data panel's 2D page.
#pragma once

namespace live {

// Draws the band (intensity centre +- tolerance of the teach row selected
// in the parameter model) on the intensity bar of the 2D page.
void InitGraphInt2();

} // namespace live
