// Mode-dependent labelling of the teach page, the teach-assistant panels and
// the data panel.
#pragma once

namespace teach {

// The teach page, the assistant panels and the data panel's labels follow
// the mode rules as they run (subscribes once).
void FollowModeRules();

// Teach page and assistant panels for the evaluation and calculation modes;
// the mean-value panel's means and largest distances are computed anew from
// its captured frames, as the mode decides what the distance is.
void InitTeachPanel();
// Names and colours of the data panel's X/Y/INT (s/i/M) displays and of the
// signal-graph panel's values.
void SetDispNames();
// Which pages and displays of the data panel the modes need.
void SetTabVis();
// The trigger LED is shown when a trigger mode or external teach is set.
void SetLedTrigVis();

} // namespace teach
