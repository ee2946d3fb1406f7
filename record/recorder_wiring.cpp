// Wiring of the recorder page: each control gets its help text (right
// click) and its callback; the counters get their display writer.
#include "live/display_refresh.h"
#include "platform/controls.h"
#include "platform/widgets.h"
#include "record/record_viewers.h"
#include "record/recorder.h"

#include <QLineEdit>
#include <QPushButton>

namespace record {
namespace {

// A callback that calls the member `callback` of `view`.
ctl::Callback To(RecorderView* view, int (RecorderView::*callback)(QWidget*, ctl::Event)) {
    return [view, callback](QWidget* w, ctl::Event e) { (view->*callback)(w, e); };
}

} // namespace

void RecorderView::Wire() {
    RecorderPage& r = page_;
    ctl::Bind(r.selectFile, "Select a record file for data save. ",
              To(this, &RecorderView::CBF_ButtonSelRecFile));
    ctl::Bind(r.filePath, "Shows the path of the record file. ",
              To(this, &RecorderView::CBF_DispRecFile));
    ctl::Bind(r.startRecord, "Start data record.", To(this, &RecorderView::CBF_ButtonStartRecord));
    ctl::Bind(r.stopRecord, "Stop data record.", To(this, &RecorderView::CBF_ButtonStopRecord));
    ctl::Bind(r.startTrigRec, "Start data record.",
              To(this, &RecorderView::CBF_ButtonStartTrigRec));
    ctl::Bind(r.manualRecord, "Record one frame manually \nand append to existing file. ",
              To(this, &RecorderView::CBF_ButtonManualRecord));
    ctl::Bind(r.mode, "Select how to record data frame. ",
              To(this, &RecorderView::CBF_EditSelectDataRec));
    ctl::Bind(r.interval,
              "Choose a interval in secondes for recording. \nMinimum interval is 0,25 second.",
              To(this, &RecorderView::CBF_EditInterval));
    ctl::Bind(r.count, "Choose how many data frames should be recorded. ",
              To(this, &RecorderView::CBF_EditRecVal));
    // The four parts of the record time share one help text.
    for (QWidget* part : {static_cast<QWidget*>(r.days), static_cast<QWidget*>(r.hours),
                          static_cast<QWidget*>(r.minutes), static_cast<QWidget*>(r.seconds)}) {
        ctl::Bind(part, "Displays the time for recording \nwhen all VALUES will be recorded.",
                  To(this, &RecorderView::CBF_DispRecordTime));
    }
    ctl::Bind(r.recorded, "Displays how many values are already recorded.",
              To(this, &RecorderView::CBF_DispRecordedValues));
    ctl::Bind(r.remaining, "Displays how many values remain to be recorded.",
              To(this, &RecorderView::CBF_DispRemaining));
    ctl::Bind(r.viewRecord,
              "Open a record file in a window of its own: its values over time, \nits points "
              "in the colour plane and their figures. ",
              To(this, &RecorderView::CBF_ButtonViewRecord));
    // The counters' display writer, for as long as the view lives.
    countersWriter_ = refresh_.AddWriter(live::kShowRecorder, [this] { WriteCounters(); });
}

int RecorderView::CBF_ButtonViewRecord(QWidget*, ctl::Event event) {
    if (event == ctl::Event::Commit) {
        viewers_.ChooseAndOpen(RecordPath());
    }
    return 0;
}

} // namespace record
