// transitional: the parts of the program's sensor and window that code not
// yet given its own reaches through the subsystems' accessors: the
// parameter model, the transfer state, the frame stream with the live
// state, the rule events and the screen-rate refresh of the window. The
// program holds one of each for as long as it runs; this goes once the
// application holds the program's sensor::Sensor and the window owns the
// rest.
#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "live/live_data.h"
#include "live/live_state.h"
#include "live/signal_graph.h"
#include "params/mode_rules.h"
#include "params/parameter_model.h"
#include "params/transfer_state.h"

#include <utility>
#include <vector>

namespace app {
namespace {

struct ProgramParts {
    params::ParameterModel model;
    params::TransferState transfer;
    params::RuleEvents rules;
    live::FrameStream frames;
    live::LiveState live{frames, model};
    live::DisplayRefresh refresh;
    std::vector<platform::Subscription> addedWriters; // AddDisplayWriter's
};

ProgramParts& Parts() {
    static ProgramParts parts;
    return parts;
}

} // namespace
} // namespace app

namespace params {

ParameterModel& Model() {
    return app::Parts().model;
}

TransferState& Transfer() {
    return app::Parts().transfer;
}

RuleEvents& RulesApplied() {
    return app::Parts().rules;
}

} // namespace params

namespace live {

FrameStream& Frames() {
    return app::Parts().frames;
}

LiveState& ProgramLive() {
    return app::Parts().live;
}

LiveDataFrameBytes& LiveDataFrame = Frames().CurrentForEdit();
uint32_t& CurrentColour = Frames().ColourForEdit();
SignalSeries& SignalGraphSeries = ProgramLive().SignalGraphSeries;

DisplayRefresh& ProgramRefresh() {
    return app::Parts().refresh;
}

void SetDisplayWriter(DisplayPart part, std::function<void()> writer) {
    ProgramRefresh().SetWriter(part, std::move(writer));
}

void AddDisplayWriter(DisplayPart part, std::function<void()> writer) {
    app::Parts().addedWriters.push_back(ProgramRefresh().AddWriter(part, std::move(writer)));
}

void ClearAddedDisplayWriters() {
    app::Parts().addedWriters.clear();
}

void SetRefreshInterval(double seconds) {
    ProgramRefresh().SetInterval(seconds);
}

void RequestDisplay(unsigned parts) {
    ProgramRefresh().Request(parts);
}

void FlushDisplays() {
    ProgramRefresh().Flush();
}

RefreshCounters DisplayCounters() {
    return ProgramRefresh().Counters();
}

void ResetDisplayCounters() {
    ProgramRefresh().ResetCounters();
}

void DiscardPendingDisplays() {
    ProgramRefresh().DiscardPending();
}

} // namespace live
