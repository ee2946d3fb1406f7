// Start values of the teach modules' state: teach-tolerance switch and row
// number, the mean-value assistant's means, the graph teach assistant's
// recorded points (start-up, tests).
#pragma once

namespace teach {

void ResetTeachState();

} // namespace teach
