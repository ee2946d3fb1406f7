// GO mode: the polling loop that asks the sensor for one measurement after
// another (order 8) and shows each, serving SEND and GET pressed meanwhile
// between two requests.
#pragma once

#include "platform/controls.h"

namespace live {

// The polling loop; runs until AcquisitionRunning is no longer 1.
void GetData();

int CBF_ButtonGo(QWidget*, ctl::Event);
int CBF_ButtonStop(QWidget*, ctl::Event);

// True while the GO callback runs (tests, guards).
bool GoRunning();

// Counts of the loop since start-up (benchmarks): frames shown and
// exchanges that failed.
struct GoCounters {
    unsigned long long frames = 0;
    unsigned long long failures = 0;
};
GoCounters GoLoopCounters();

} // namespace live
