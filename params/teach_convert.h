// Conversion of teach rows when the calculation mode changes between the 2D
// and the 3D modes.
#pragma once

#include "params/parameter_layout.h"

#include <cstdint>

namespace params {

class ParameterModel;

// Converts one row (cell0..cell4) from `oldMode` to `newMode`:
//  2D -> 3D: (X, Y, CTO, INT, ITO) becomes (X, Y, INT, CTO, 1);
//  3D -> 2D: (X, Y, INT, TOL, any) becomes (X, Y, TOL, INT, TOL);
//  within 2D or within 3D nothing changes.
void ConvertRow(uint16_t oldMode, uint16_t newMode, uint16_t cells[5]);

// Converts all rows of a table in place.
void ConvertTable(uint16_t oldMode, uint16_t newMode, TeachTableBytes* table);

// A new calculation mode chosen: the model's table is converted from the
// mode the model holds to `newMode`, which the model then holds.
void SortTableTolerance(ParameterModel& model, uint16_t newMode);

} // namespace params
