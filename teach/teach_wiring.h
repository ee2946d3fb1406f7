// Wiring of the teach table page: each control gets its help text (right
// click) and, once the behaviour is in place, its action. The grid has no
// help of its own on a right click (that opens its context menu); the menu's
// "Help" entry shows the grid help instead.
#pragma once

namespace teach {

// Help text of the teach grid, shown by the "Help" entry of its context menu.
extern const char* const kGridHelpText;

void WireTeachPage();

} // namespace teach
