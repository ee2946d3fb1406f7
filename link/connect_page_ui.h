// Controls of the connection page (main tab page 0).
#pragma once

#include <QWidget>

class QComboBox;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
namespace ctl {
class Ring;
class TextField;
class U16Spin;
} // namespace ctl

namespace conn {

struct ConnectPage {
    ctl::Ring* protocol = nullptr;        // 0 RS232, 1 TCP/IP
    QComboBox* comPort = nullptr;         // editable: the ports present, any number may be typed
    ctl::Ring* baudrate = nullptr;        // values 0..7 (baud-rate index)
    QComboBox* address = nullptr;         // editable, with the address history as its list
    QWidget* addressLabel = nullptr;      // label of the address combo box (hidden with it)
    ctl::TextField* portNumber = nullptr; // port-number text
    QWidget* portNumberLabel = nullptr;
    QWidget* comPortLabel = nullptr;
    QWidget* baudrateLabel = nullptr;
    ctl::TextField* id = nullptr; // sensor identification, at most 99 characters
    QPushButton* tryToConnect = nullptr;
    QPushButton* disconnect = nullptr;
    QPushButton* accept = nullptr;
    QPushButton* changeBaudrate = nullptr;
    QPushButton* hwInfo = nullptr;      // hardware information file
    QPlainTextEdit* messages = nullptr; // message box, appended to
    // FIND SENSORS: the TCP/IP range to search besides the serial ports, the
    // search's commands and progress, and the sensors found.
    ctl::TextField* findRange = nullptr;
    QWidget* findRangeLabel = nullptr;
    QPushButton* findSensors = nullptr;
    QPushButton* cancelFind = nullptr;
    QProgressBar* findProgress = nullptr;
    QListWidget* findResults = nullptr;
};

void BuildConnectPage(QWidget* page, ConnectPage* ui);

// The panels of this subsystem. The application builds them at start-up
// and clears them (all controls null) when it discards the panels.
struct LinkPanels {
    ConnectPage connect;
};

} // namespace conn
