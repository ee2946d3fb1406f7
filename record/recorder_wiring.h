// Wiring of the recorder page: each control gets its help text (right
// click) and, once the behaviour is in place, its action.
#pragma once

namespace record {

void WireRecorderPage();

} // namespace record
