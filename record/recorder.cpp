#include "record/recorder.h"

#include "app/panels.h"
#include "platform/widgets.h"
#include "record/recorder_logic.h"

#include <QPushButton>

namespace record {

void InitRecordPanel() {
    RecorderPage& r = app::P().recorder;
    const RecordModeView v = ViewOfRecordMode(r.mode->Val());
    r.intervalRow->setVisible(v.interval);
    r.countRow->setVisible(v.count);
    r.recordTimeRow->setVisible(v.recordTime);
    r.recordedRow->setVisible(v.recorded);
    r.remainingRow->setVisible(v.remaining);
    r.runCounterRow->setVisible(v.runCounter);
    r.startRecord->setVisible(v.startRecord);
    r.stopRecord->setVisible(v.stopRecord);
    r.startTrigRec->setVisible(v.startTrigRec);
    r.manualRecord->setVisible(v.manualRecord);
}

void CalcRecTime() {
    RecorderPage& r = app::P().recorder;
    double interval = r.interval->value();
    const int count = r.count->value();
    r.recorded->SetVal(0);
    r.remaining->SetVal(count);
    if (interval < kMinRecordInterval) {
        interval = kMinRecordInterval;
        r.interval->SetVal(interval);
    }
    const RecordTime t = SplitRecordTime(interval * count);
    r.days->SetVal(t.days);
    r.hours->SetVal(t.hours);
    r.minutes->SetVal(t.minutes);
    r.seconds->SetVal(t.seconds);
}

} // namespace record
