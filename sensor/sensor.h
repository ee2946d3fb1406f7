// One sensor as the program, the command-line tool and the gateway hold it:
// its link and everything that belongs to it alone. A process holds as many
// as it serves; each is used by one thread at a time (a window's
// user-interface thread, or the sensor's own worker), and the views and
// operations get the sensor, or the parts of it, they work on.
#pragma once

#include "calib/calib_state.h"
#include "link/com232.h"
#include "live/frame_stream.h"
#include "live/live_state.h"
#include "params/parameter_model.h"
#include "params/transfer_state.h"
#include "record/recorder_state.h"
#include "scope/scope_run.h"
#include "scope/scope_state.h"
#include "teach/teach_state.h"

namespace sensor {

class Sensor {
public:
    // A window's sensor serves the window's events while it waits; a
    // worker's blocks on its transport.
    explicit Sensor(com232::WaitPolicy policy = com232::WaitPolicy::ServeEvents) : link(policy) {}
    Sensor(const Sensor&) = delete;
    Sensor& operator=(const Sensor&) = delete;

    com232::SensorLink link;
    params::ParameterModel model;
    params::TransferState transfer;
    live::FrameStream frames;
    live::LiveState live{frames, model};
    // The state of a scope capture on the link.
    scope::ScanState scan;
    record::RecorderState recorder;
    scope::ScopeState scope;
    // The calibration's busy state.
    calib::CalibState calib;
    // The teach assistants' recorded points, means and loop flags.
    teach::TeachState teach;
};

} // namespace sensor
