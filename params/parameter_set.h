// The parameter set held by the program: one ParameterBlock and one
// TeachTable in their wire layout, and their copies to and from the panels.
#pragma once

#include "params/parameter_layout.h"

namespace params {

extern ParameterBlockBytes ParameterBlock;
extern TeachTableBytes TeachTable;

// Copies every control into the blocks (reserved words stay as they are).
void GetPanelValues();
// Copies the blocks into the controls; the external-teach list rule runs
// before the TRIGGER selector is set. Other mode rules are the caller's.
void SetPanelValues();

// Start values: both blocks zero (tests).
void ResetParameterSet();

} // namespace params
