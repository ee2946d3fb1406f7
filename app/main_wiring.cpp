// Wiring of the main panel: help texts and callbacks, in one place.
#include "app/instance.h"
#include "app/main_window.h"
#include "app/panels.h"
#include "app/shell.h"
#include "live/live_views.h"
#include "params/param_views.h"
#include "platform/tab_control.h"
#include "platform/widgets.h"

#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace app {
namespace {

void SetChecked(QRadioButton* r, bool on) {
    if (r != nullptr) {
        QSignalBlocker block(r);
        r->setChecked(on);
    }
}

// The transfer selectors show the transfer selection.
void ShowTransferSelection() {
    if (!PanelsLoaded()) {
        return;
    }
    MainPanel& m = P().main;
    SetChecked(m.ram, P().sensor.transfer.TransferTarget == params::kTargetRam);
    SetChecked(m.eeprom, P().sensor.transfer.TransferTarget == params::kTargetEeprom);
    SetChecked(m.file, P().sensor.transfer.TransferTarget == params::kTargetFile);
    SetChecked(m.set0, P().sensor.transfer.SelectedParaSet == 0);
    SetChecked(m.set1, P().sensor.transfer.SelectedParaSet == 1);
    m.set0->setEnabled(P().sensor.transfer.ParaSetSelectable());
    m.set1->setEnabled(P().sensor.transfer.ParaSetSelectable());
}

} // namespace

int CBF_SelectMem(QWidget* control, ctl::Event event) {
    if (event != ctl::Event::Commit) {
        return 0;
    }
    MainPanel& m = P().main;
    if (control == m.ram) {
        P().sensor.transfer.SelectTransferTarget(params::kTargetRam);
    } else if (control == m.eeprom) {
        P().sensor.transfer.SelectTransferTarget(params::kTargetEeprom);
    } else if (control == m.file) {
        P().sensor.transfer.SelectTransferTarget(params::kTargetFile);
    }
    return 0;
}

int CBF_SelectParaSet(QWidget* control, ctl::Event event) {
    if (event != ctl::Event::Commit) {
        return 0;
    }
    MainPanel& m = P().main;
    if (control == m.set0) {
        P().sensor.transfer.SelectParaSet(0);
    } else if (control == m.set1) {
        P().sensor.transfer.SelectParaSet(1);
    }
    return 0;
}

void WireMainPanel() {
    P().subscriptions += P().sensor.transfer.changed.Connect(ShowTransferSelection);
    MainPanel& m = P().main;
    ctl::Bind(m.send,
              "All the parameters of the PC-User-Interface are transferred to the sensor or to a "
              "selectable file. \nThe target of the parameter transfer is determined by the select "
              "button (RAM, EEPROM, FILE). \n\nShortcut Key: F9.",
              [](QWidget* w, ctl::Event e) {
                  if (P().paramViews) {
                      P().paramViews->transfer.CBF_ButtonSend(w, e);
                  }
              });
    ctl::Bind(m.get,
              "Sensor or file parameters are transferred to the PC-User-Interface. \nThe source of "
              "the parameter transfer is determined by the select button (RAM, EEPROM, FILE). "
              "\n\nShortcut Key: F10.",
              [](QWidget* w, ctl::Event e) {
                  if (P().paramViews) {
                      P().paramViews->transfer.CBF_ButtonGet(w, e);
                  }
              });
    ctl::Bind(m.go, "Starts data transfer from sensor to PC. \n\nShortcut Key: F11. ",
              [](QWidget* w, ctl::Event e) {
                  if (P().liveViews) {
                      P().liveViews->go.CBF_ButtonGo(w, e);
                  }
              });
    ctl::Bind(m.stop, "Stops data transfer from sensor to PC. \n\nShortcut Key: F12. ",
              [](QWidget* w, ctl::Event e) {
                  if (P().liveViews) {
                      P().liveViews->go.CBF_ButtonStop(w, e);
                  }
              });
    for (QRadioButton* r : {m.ram, m.eeprom, m.file}) {
        ctl::Bind(r, "Select source respectively the target for the parameter transfer.",
                  CBF_SelectMem);
    }
    for (QRadioButton* r : {m.set0, m.set1}) {
        ctl::Bind(r, "Select parameter set which should be transfered.", CBF_SelectParaSet);
    }
    for (int page = 0; page < m.tabs->PageCount(); ++page) {
        ctl::Bind(m.tabs->PageButton(page), "Select TAB-window.", CBF_TabMain1);
    }
    QObject::connect(m.tabs, &ctl::TabControl::activePageChanged, m.tabs,
                     [tabs = m.tabs](int) { CBF_TabMain1(tabs, ctl::Event::ActivePageChanged); });
    // The window title names the sensor identification once it is entered.
    QObject::connect(P().connect.id, &ctl::TextField::committed, m.window, &UpdateWindowTitle);
    auto* window = static_cast<MainWindow*>(m.window);
    window->onClose = [window] { CBF_MAINP(window, ctl::Event::Close); };
    window->onRightDoubleClick = [window] { CBF_MAINP(window, ctl::Event::RightDoubleClick); };
    // Each record file dropped on the window opens in a viewer of its own.
    window->onDropFiles = [](const std::vector<std::string>& files) {
        OpenViewFiles(Viewers(), files);
    };
}

} // namespace app
