// The built-in palette of row indicator colours: 15 colours repeated over
// the 31 teach rows.
#pragma once

#include <cstdint>

namespace params {

constexpr int kPaletteSize = 15;
extern const uint32_t kRowPalette[kPaletteSize];

// Default indicator colour (0x00RRGGBB) of teach row 0..30.
inline uint32_t DefaultRowColour(int row) {
    return kRowPalette[((row % kPaletteSize) + kPaletteSize) % kPaletteSize];
}

} // namespace params
