// GO and STOP of the main panel: the polling loop on the window's sensor,
// with the commands dimmed while it runs and the displays ending on the last
// frame received.
#pragma once

#include "platform/controls.h"

namespace com232 {
class SensorLink;
}
namespace params {
class ParameterModel;
class TransferState;
} // namespace params

namespace live {

class DisplayRefresh;
class FrameStream;
class GraphView;
class LiveState;

class GoCommands {
public:
    GoCommands(com232::SensorLink& link, params::TransferState& transfer,
               params::ParameterModel& model, FrameStream& frames, LiveState& live,
               GraphView& graphs, DisplayRefresh& refresh)
        : link_(link), transfer_(transfer), model_(model), frames_(frames), live_(live),
          graphs_(graphs), refresh_(refresh) {}
    GoCommands(const GoCommands&) = delete;
    GoCommands& operator=(const GoCommands&) = delete;

    int CBF_ButtonGo(QWidget*, ctl::Event);
    int CBF_ButtonStop(QWidget*, ctl::Event);

private:
    com232::SensorLink& link_;
    params::TransferState& transfer_;
    params::ParameterModel& model_;
    FrameStream& frames_;
    LiveState& live_;
    GraphView& graphs_;
    DisplayRefresh& refresh_;
};

} // namespace live
