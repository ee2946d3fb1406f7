// Controls of the recorder page (main tab page 4).
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
namespace ctl {
class DSpin;
class NumDisplay;
class Ring;
class U16Spin;
} // namespace ctl

namespace record {

struct RecorderPage {
    ctl::Ring* mode = nullptr;       // 0 timed count, 1 timed endless, 2 manual, 3 triggered
    ctl::DSpin* interval = nullptr;  // seconds, at least 0.25
    ctl::U16Spin* count = nullptr;   // VALUES
    ctl::NumDisplay* days = nullptr; // record time
    ctl::NumDisplay* hours = nullptr;
    ctl::NumDisplay* minutes = nullptr;
    ctl::NumDisplay* seconds = nullptr;
    ctl::NumDisplay* recorded = nullptr;
    ctl::NumDisplay* remaining = nullptr;
    ctl::NumDisplay* runCounter = nullptr;
    // Rows holding a control with its caption, shown or hidden by record mode.
    QWidget* intervalRow = nullptr;
    QWidget* countRow = nullptr;
    QWidget* recordTimeRow = nullptr;
    QWidget* recordedRow = nullptr;
    QWidget* remainingRow = nullptr;
    QWidget* runCounterRow = nullptr;
    QPushButton* startRecord = nullptr;
    QPushButton* stopRecord = nullptr;
    QPushButton* startTrigRec = nullptr;
    QPushButton* manualRecord = nullptr;
    QPushButton* selectFile = nullptr;
    QLineEdit* filePath = nullptr;     // record-file path box (read-only)
    QLabel* id = nullptr;              // sensor identification
    QPushButton* viewRecord = nullptr; // VIEW RECORD...: a record file in the viewer
};

void BuildRecorderPage(QWidget* page, RecorderPage* ui);

// START RECORD and START TRIG REC are light grey, and red while their
// recording runs.
void ColourStartButton(QPushButton* button, bool recording);

// The panels of this subsystem. A window builds them and gives them to its
// recorder view.
struct RecorderPanels {
    RecorderPage recorder;
};

} // namespace record
