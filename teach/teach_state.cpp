#include "teach/teach_state.h"

#include "params/parameter_model.h"

#include <algorithm>

namespace teach {

void TeachState::Reset() {
    RecordedPoints.Clear();
    std::fill(std::begin(MeanValues), std::end(MeanValues), 0);
    recording = false;
    meanLoopRunning = false;
}

void ResetTeachState(TeachState& state, params::ParameterModel& model) {
    state.Reset();
    model.SetTeachRowNo(0);
    model.SetTeachTolOff(0);
}

} // namespace teach
