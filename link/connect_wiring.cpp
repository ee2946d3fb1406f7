// Wiring of the connection page: help texts and callbacks, in one place.
#include "link/connect_page.h"
#include "link/connect_page_ui.h"
#include "platform/widgets.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace conn {

void ConnectView::Wire() {
    ConnectPage& c = Page();
    ctl::Bind(c.tryToConnect, "Try to connect sensor.",
              [this](QWidget* w, ctl::Event e) { CBF_ButtonTryToConnect(w, e); });
    ctl::Bind(c.disconnect, "Disconnect from sensor.!",
              [this](QWidget* w, ctl::Event e) { CBF_ButtonDisconnect(w, e); });
    ctl::Bind(c.accept, "Accept settings for communication \nand switch to parapanel. ",
              [this](QWidget* w, ctl::Event e) { CBF_ButtonAccept(w, e); });
    ctl::Bind(c.changeBaudrate,
              "Save selected Baudrate to sensor. \n\nConfirm new baudrate with EEPROM and SEND.",
              [this](QWidget* w, ctl::Event e) { CBF_ButtonChangeBaudrate(w, e); });
    ctl::Bind(c.hwInfo,
              "Save Hardware Initial File to disk. \nSend this file to your supplier for "
              "assistance.",
              [this](QWidget* w, ctl::Event e) { CBF_ButtonGenHwInfoFile(w, e); });
    ctl::Bind(c.protocol, "Select RS232 or TCP/IP Interface. ",
              [this](QWidget* w, ctl::Event e) { CBF_EditCommunicationProtocol(w, e); });
    ctl::Bind(c.comPort, "Select a serial COM-PORT.",
              [this](QWidget* w, ctl::Event e) { CBF_EditSelectComPort(w, e); });
    ctl::Bind(
        c.baudrate,
        "Select the Baudrate for data transfer. \n\nAttention! Sensor and user surface \nmust "
        "work with the same Baudrate. ",
        [this](QWidget* w, ctl::Event e) { CBF_EditSelectBaudrate(w, e); });
    ctl::Bind(c.address, "Select a Server by name or IP address.",
              [this](QWidget* w, ctl::Event e) { CBF_StringIpAdress(w, e); });
    ctl::Bind(c.portNumber, "Select a port number.",
              [this](QWidget* w, ctl::Event e) { CBF_StringPortNumber(w, e); });
    ctl::Bind(c.id,
              "Insert sensor identification. \nThis ID will be displayed in some panels of the "
              "software.",
              [this](QWidget* w, ctl::Event e) { CBF_EditID(w, e); });
    ctl::Bind(c.messages, nullptr, [this](QWidget* w, ctl::Event e) { CBF_DispStatus(w, e); });

    // Editable selectors also commit a typed value with Enter.
    c.address->setInsertPolicy(QComboBox::NoInsert);
    c.comPort->setInsertPolicy(QComboBox::NoInsert);
    QObject::connect(c.address->lineEdit(), &QLineEdit::returnPressed, c.address,
                     [this] { CBF_StringIpAdress(Page().address, ctl::Event::Commit); });
    QObject::connect(c.comPort->lineEdit(), &QLineEdit::returnPressed, c.comPort,
                     [this] { CBF_EditSelectComPort(Page().comPort, ctl::Event::Commit); });
}

} // namespace conn
