// transitional: the live subsystem's free functions for code not yet given
// its sensor's parts and its window's views. They work on the program's
// parts and views; removed once every folder gets its own.
#include "link/program_link.h"
#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "live/go_loop.h"
#include "live/live_params.h"
#include "live/live_state.h"
#include "live/live_views.h"
#include "params/parameter_model.h"
#include "params/transfer_state.h"

namespace live {

void GetData() {
    GetData(com232::ProgramLink(), params::Transfer(), params::Model(), Frames(), ProgramLive());
}

bool GoRunning() {
    return ProgramLive().GoRunning;
}

GoCounters GoLoopCounters() {
    return ProgramLive().GoLoopCounters;
}

LiveDataFrameBytes FrameFromAnswer() {
    return FrameFromAnswer(com232::ProgramLink());
}

void TakeFrameFromAnswer() {
    TakeFrameFromAnswer(com232::ProgramLink(), Frames());
}

void ResetLiveState() {
    ProgramRefresh().DiscardPending();
    Frames().Reset();
    ProgramLive().ResetHistories();
}

void InitGraphs() {
    if (LiveViews* v = ProgramViews()) {
        v->graphs.InitGraphs();
    }
}

void ShowGraph() {
    ProgramRefresh().Request(kShowGraphs);
}

void InitPanelGraph() {
    if (LiveViews* v = ProgramViews()) {
        v->signalGraph.InitPanelGraph();
    } else {
        ProgramLive().SignalGraphSeries.Start(Frames().Current());
    }
}

const params::ParameterModel& Parameters() {
    return params::Model();
}

} // namespace live
