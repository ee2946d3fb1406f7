// The parameter state the live displays read, answered from the panels and
// the parameter set the program holds (the teach grid, the No. field, the
// calculation mode field, the row colours).
#pragma once

namespace app {

// Installs the reader (start-up); RemovePanelParameters restores the
// parameter model's (shutdown).
void InstallPanelParameters();
void RemovePanelParameters();

} // namespace app
