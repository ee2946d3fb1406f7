#pragma once

#include "link/connect_page.h"

namespace app {

// Installs the link's user-interface effects on the real panels and the
// frame's services to the subsystems.
void InstallFrameServices();
// Ends them (shutdown).
void UninstallFrameServices();
// What the connection page does to the rest of the program's window.
conn::ConnectHooks ConnectHooksOfWindow();

} // namespace app
