#pragma once

namespace app {

// Installs the link's user-interface effects on the real panels.
void InstallPanelLinkUi();

} // namespace app
