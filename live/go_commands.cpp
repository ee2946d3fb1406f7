#include "live/go_commands.h"

#include "link/com232.h"
#include "live/display_refresh.h"
#include "live/go_loop.h"
#include "live/graphs.h"
#include "live/live_state.h"
#include "platform/shell_services.h"

namespace live {

int GoCommands::CBF_ButtonGo(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit || live_.GoRunning) {
        return 0; // GO is already running: a second loop must not start inside it
    }
    live_.GoRunning = true;
    shell::Services& frame = shell::Shell();
    frame.SetButtonsDimmed(1, 1);
    if (frame.CurrentChild() != shell::Child::TeachMean) {
        frame.ShowChild(shell::Child::Data);
    }
    graphs_.InitGraphs();
    GetData(link_, transfer_, model_, frames_, live_);
    // The displays end on the last frame received, however the loop ended.
    refresh_.Flush();
    if (shell::Shell().PanelsLoaded()) {
        shell::Shell().SetButtonsDimmed(0, 0);
    }
    live_.GoRunning = false;
    return 0;
}

int GoCommands::CBF_ButtonStop(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        link_.AcquisitionRunning = 0; // the running loop ends at its next check
    }
    return 0;
}

} // namespace live
