// Wiring of the data panel, the signal-graph panel and the two big display
// windows: each control gets its help text (right click) and, once the
// behaviour is in place, its action.
#pragma once

namespace live {

void WireDataPanel();
void WireSignalGraphPanel();
void WireBigPanels();

} // namespace live
