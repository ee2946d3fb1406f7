// Wiring of the recorder page: each control gets its help text (right
// click) and its callback; the counters get their display writer.
#pragma once

namespace record {

void WireRecorderPage();

} // namespace record
