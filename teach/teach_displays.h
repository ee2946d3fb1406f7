// The teach panels' displays of the live frame: the mean-value panel's RED,
// GREEN and BLUE and the table-attributes page's TEMP, written in the same
// screen-rate refresh as the data panel.
#pragma once

namespace teach {

// Adds the writers to the panel-data refresh (at wiring; the refresh drops
// them when the panels are discarded).
void AddTeachDisplayWriters();

} // namespace teach
