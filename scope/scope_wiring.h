// Wiring of the scope page and the scope panel: each control gets its help
// text (right click) and, once the behaviour is in place, its action.
#pragma once

namespace scope {

void WireScopePage();
void WireScopePanel();

} // namespace scope
