// Editing operations of the teach table.
#pragma once

namespace teach {

// Converts all rows after the calculation mode changed between 2D and 3D:
// the blocks are taken from the panels (bringing in the new mode), the rows
// converted, and written to the table and back into the grid.
void SortTableTolerance();

} // namespace teach
