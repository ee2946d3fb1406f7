// Wiring of the table-attributes page: each control gets its help text
// (right click, popup title "Info") and, once the behaviour is in place, its
// action.
#pragma once

namespace teach {

void WireAttributesPage();

} // namespace teach
