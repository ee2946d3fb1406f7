// Controls of the main panel: the banner, the transfer commands, the main
// tab control and the child display area.
#pragma once

#include "platform/shell_services.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QRadioButton;
class QStackedWidget;
namespace ctl {
class TabControl;
}

namespace app {

// Pages of the main tab control (the frame's page numbers).
using MainPage = shell::Page;
using shell::kMainPageCount;
using shell::kPageCalibration;
using shell::kPageConnection;
using shell::kPageGroupHold;
using shell::kPageOffset;
using shell::kPageParameter;
using shell::kPageRecorder;
using shell::kPageScope;
using shell::kPageTableAttributes;
using shell::kPageTeachTable;

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
