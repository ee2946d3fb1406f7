#pragma once

namespace app {

// Installs the link's user-interface effects on the real panels and the
// frame's services to the subsystems.
void InstallPanelLinkUi();
// Ends them (shutdown).
void UninstallPanelLinkUi();

} // namespace app
