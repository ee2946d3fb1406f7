// The data panel, the big panels and the graphs follow the operating-mode
// rules as they run: which displays the evaluation mode and the colour
// groups leave, the 3D view captions and the INT chart's range of the
// calculation mode, and the graphs drawn anew after a read.
#pragma once

namespace live {

// Subscribes once to the rules' announcements.
void FollowModeRules();

// Names and colours of the X/Y/INT (s/i/M) displays and of the
// signal-graph panel's values.
void SetDispNames();
// Which pages and displays of the data panel the modes need.
void SetTabVis();
// The trigger LED is shown when a trigger mode or external teach is set.
void SetLedTrigVis();

} // namespace live
