// TEMP on the table-attributes page and RED GREEN BLUE of the mean-value
// teach panel follow the frames shown, written with the data panel in the
// same screen-rate refresh.
#pragma once

namespace app {

// Adds the writer (start-up; a second call changes nothing).
void InstallTeachFrameDisplays();

} // namespace app
