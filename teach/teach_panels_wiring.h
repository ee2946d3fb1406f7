// Wiring of the two teach-assistant panels: each control gets its help text
// (right click) and, once the behaviour is in place, its action.
#pragma once

namespace teach {

void WireTeachMeanPanel();
void WireTeachGraphPanel();

} // namespace teach
