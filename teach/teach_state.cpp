#include "teach/teach_state.h"

#include "teach/graph_teach.h"
#include "teach/mean_teach.h"
#include "teach/teach_edit.h"

namespace teach {

void ResetTeachState() {
    ResetTeachEditState();
    ResetMeanTeachState();
    ResetGraphTeachState();
}

} // namespace teach
