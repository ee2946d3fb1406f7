// Controls of the scope page (main tab page 7) and the scope child panel.
#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;
namespace ctl {
class Graph;
class NumDisplay;
class Ring;
class U16Spin;
} // namespace ctl

namespace scope {

struct ScopePage {
    ctl::U16Spin* triggerLevel = nullptr;
    ctl::Ring* triggerMode = nullptr;   // 0 SINGLE SHOT .. 4 EXTERNAL IN0
    ctl::U16Spin* preTrigger = nullptr; // PRE-TRIGGER VALUES 0..127
    ctl::U16Spin* scanRate = nullptr;   // SCAN RATE
    ctl::Ring* recordSignal = nullptr;  // 0 RED GREEN BLUE, 1 X Y INT
    QPushButton* getCycleTime = nullptr;
    ctl::NumDisplay* cycleTime = nullptr; // ms
    ctl::NumDisplay* scanFreq = nullptr;  // Hz
    QPushButton* scan = nullptr;
    QPushButton* breakScan = nullptr;
    QPushButton* print = nullptr;
    QPlainTextEdit* comment = nullptr;
};

struct ScopePanel {
    QWidget* panel = nullptr;
    ctl::Graph* scope = nullptr;   // analogue traces, cursors 1 and 2
    ctl::Graph* digital = nullptr; // digital lines
    QWidget* busy = nullptr;       // busy indicator while a capture waits
    ctl::Ring* signal = nullptr;   // 0 all lines, 1 red, 2 green, 3 blue
    QPushButton* zoom11 = nullptr;
    QPushButton* close = nullptr;
    ctl::NumDisplay* deltaX = nullptr; // ms
    ctl::NumDisplay* deltaY = nullptr; // digits
};

void BuildScopePage(QWidget* page, ScopePage* ui);
void BuildScopePanel(QWidget* panel, ScopePanel* ui);

// The panels of this subsystem. A window builds them and gives them to its
// scope view.
struct ScopePanels {
    ScopePage scopePage;
    ScopePanel scope;
};

} // namespace scope
