// Controls of the main panel: the banner, the transfer commands, the main
// tab control and the child display area.
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QRadioButton;
class QStackedWidget;
namespace ctl {
class TabControl;
}

namespace app {

// Pages of the main tab control.
enum MainPage : int {
    kPageConnection = 0,
    kPageParameter = 1,
    kPageGroupHold = 2,
    kPageTeachTable = 3,
    kPageRecorder = 4,
    kPageCalibration = 5,
    kPageTableAttributes = 6,
    kPageScope = 7,
    kPageOffset = 8,
    kMainPageCount
};

struct MainPanel {
    QWidget* window = nullptr;    // the main panel itself (top-level window)
    QWidget* banner = nullptr;    // dark banner strip; ShowInfoText places its texts here
    QLabel* logo = nullptr;       // logo picture, hidden until a picture is loaded
    QRadioButton* set0 = nullptr; // parameter-set selectors
    QRadioButton* set1 = nullptr;
    QRadioButton* ram = nullptr; // transfer target selectors
    QRadioButton* eeprom = nullptr;
    QRadioButton* file = nullptr;
    QPushButton* send = nullptr;         // F9
    QPushButton* get = nullptr;          // F10
    QPushButton* go = nullptr;           // F11
    QPushButton* stop = nullptr;         // F12
    ctl::TabControl* tabs = nullptr;     // the nine pages
    QStackedWidget* childArea = nullptr; // where one child display panel shows
};

} // namespace app
