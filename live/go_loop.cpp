#include "live/go_loop.h"

#include "link/com232.h"
#include "link/program_link.h"
#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "live/graphs.h"
#include "live/live_data.h"
#include "live/live_params.h"
#include "params/parameter_set.h"
#include "params/transfer.h"
#include "platform/shell_services.h"

namespace live {
namespace {

bool gGoRunning = false;
GoCounters gCounters;

} // namespace

void GetData() {
    auto& AcquisitionRunning = com232::ProgramLink().AcquisitionRunning;
    AcquisitionRunning = 1;
    for (;;) {
        if (params::Transfer().SendPending) {
            params::SendPara();
            if (AcquisitionRunning == 0) {
                break;
            }
        }
        if (params::Transfer().GetPending) {
            params::GetPara();
        }
        if (AcquisitionRunning == 0) {
            break;
        }
        com232::ProgramLink().FillTxBuf(com232::kOrderLiveData, 0, 0);
        if (com232::ProgramLink().DataExchange(static_cast<int>(com232::kHeaderSize)) == 1) {
            Frames().Publish(FrameFromAnswer(), kUseGo, Parameters().EvaluationMode());
            ++gCounters.frames;
        } else {
            ++gCounters.failures;
        }
        if (AcquisitionRunning != 1) {
            break;
        }
    }
}

int CBF_ButtonGo(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit || gGoRunning) {
        return 0; // GO is already running: a second loop must not start inside it
    }
    gGoRunning = true;
    shell::Services& frame = shell::Shell();
    frame.SetButtonsDimmed(1, 1);
    if (frame.CurrentChild() != shell::Child::TeachMean) {
        frame.ShowChild(shell::Child::Data);
    }
    InitGraphs();
    GetData();
    // The displays end on the last frame received, however the loop ended.
    FlushDisplays();
    if (shell::Shell().PanelsLoaded()) {
        shell::Shell().SetButtonsDimmed(0, 0);
    }
    gGoRunning = false;
    return 0;
}

int CBF_ButtonStop(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        com232::ProgramLink().AcquisitionRunning = 0; // the running loop ends at its next check
    }
    return 0;
}

bool GoRunning() {
    return gGoRunning;
}

GoCounters GoLoopCounters() {
    return gCounters;
}

} // namespace live
