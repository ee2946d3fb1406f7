#include "record/recorder_wiring.h"

#include "platform/controls.h"
#include "platform/widgets.h"
#include "record/record_viewer.h"
#include "record/recorder.h"
#include "record/recorder_ui.h"

#include <QLineEdit>
#include <QPushButton>

namespace record {

void WireRecorderPage() {
    RecorderPage& r = Panels().recorder;
    ctl::Bind(r.selectFile, "Select a record file for data save. ", CBF_ButtonSelRecFile);
    ctl::Bind(r.filePath, "Shows the path of the record file. ", CBF_DispRecFile);
    ctl::Bind(r.startRecord, "Start data record.", CBF_ButtonStartRecord);
    ctl::Bind(r.stopRecord, "Stop data record.", CBF_ButtonStopRecord);
    ctl::Bind(r.startTrigRec, "Start data record.", CBF_ButtonStartTrigRec);
    ctl::Bind(r.manualRecord, "Record one frame manually \nand append to existing file. ",
              CBF_ButtonManualRecord);
    ctl::Bind(r.mode, "Select how to record data frame. ", CBF_EditSelectDataRec);
    ctl::Bind(r.interval,
              "Choose a interval in secondes for recording. \nMinimum interval is 0,25 second.",
              CBF_EditInterval);
    ctl::Bind(r.count, "Choose how many data frames should be recorded. ", CBF_EditRecVal);
    // The four parts of the record time share one help text.
    for (QWidget* part : {static_cast<QWidget*>(r.days), static_cast<QWidget*>(r.hours),
                          static_cast<QWidget*>(r.minutes), static_cast<QWidget*>(r.seconds)}) {
        ctl::Bind(part, "Displays the time for recording \nwhen all VALUES will be recorded.",
                  CBF_DispRecordTime);
    }
    ctl::Bind(r.recorded, "Displays how many values are already recorded.", CBF_DispRecordedValues);
    ctl::Bind(r.remaining, "Displays how many values remain to be recorded.", CBF_DispRemaining);
    ctl::Bind(r.viewRecord,
              "Open a record file in a window of its own: its values over time, \nits points "
              "in the colour plane and their figures. ",
              CBF_ButtonViewRecord);
    InstallRecorderDisplays();
}

} // namespace record
