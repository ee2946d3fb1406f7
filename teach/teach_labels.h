// Mode-dependent labelling of the teach page and the teach-assistant panels.
#pragma once

namespace teach {

// The teach page, the assistant panels and the data panel's labels follow
// the mode rules as they run (subscribes once).
void FollowModeRules();

// Teach page and assistant panels for the evaluation and calculation modes;
// the mean-value panel's means and largest distances are computed anew from
// its captured frames, as the mode decides what the distance is.
void InitTeachPanel();

} // namespace teach
