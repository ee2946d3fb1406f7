// The recorder page's behaviour: the controls of the record mode and the
// record time of a timed recording.
#pragma once

namespace record {

// Shows the controls of the current record mode and hides the others.
void InitRecordPanel();
// Keeps the interval at 0.25 s or more and shows the record time of the
// count at that interval; the recorded count goes to 0, the remaining count
// to the full count.
void CalcRecTime();

} // namespace record
