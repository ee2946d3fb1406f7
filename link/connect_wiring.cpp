// Wiring of the connection page: help texts and callbacks, in one place.
#include "link/connect_page.h"
#include "link/connect_page_ui.h"
#include "platform/widgets.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace conn {

void WireConnectPage() {
    ConnectPage& c = Panels().connect;
    ctl::Bind(c.tryToConnect, "Try to connect sensor.", CBF_ButtonTryToConnect);
    ctl::Bind(c.disconnect, "Disconnect from sensor.!", CBF_ButtonDisconnect);
    ctl::Bind(c.accept, "Accept settings for communication \nand switch to parapanel. ",
              CBF_ButtonAccept);
    ctl::Bind(c.changeBaudrate,
              "Save selected Baudrate to sensor. \n\nConfirm new baudrate with EEPROM and SEND.",
              CBF_ButtonChangeBaudrate);
    ctl::Bind(c.hwInfo,
              "Save Hardware Initial File to disk. \nSend this file to your supplier for "
              "assistance.",
              CBF_ButtonGenHwInfoFile);
    ctl::Bind(c.protocol, "Select RS232 or TCP/IP Interface. ", CBF_EditCommunicationProtocol);
    ctl::Bind(c.comPort, "Select a serial COM-PORT.", CBF_EditSelectComPort);
    ctl::Bind(
        c.baudrate,
        "Select the Baudrate for data transfer. \n\nAttention! Sensor and user surface \nmust "
        "work with the same Baudrate. ",
        CBF_EditSelectBaudrate);
    ctl::Bind(c.address, "Select a Server by name or IP address.", CBF_StringIpAdress);
    ctl::Bind(c.portNumber, "Select a port number.", CBF_StringPortNumber);
    ctl::Bind(c.id,
              "Insert sensor identification. \nThis ID will be displayed in some panels of the "
              "software.",
              CBF_EditID);
    ctl::Bind(c.messages, nullptr, CBF_DispStatus);

    // Editable selectors also commit a typed value with Enter.
    c.address->setInsertPolicy(QComboBox::NoInsert);
    c.comPort->setInsertPolicy(QComboBox::NoInsert);
    QObject::connect(c.address->lineEdit(), &QLineEdit::returnPressed, c.address,
                     [] { CBF_StringIpAdress(Panels().connect.address, ctl::Event::Commit); });
    QObject::connect(c.comPort->lineEdit(), &QLineEdit::returnPressed, c.comPort,
                     [] { CBF_EditSelectComPort(Panels().connect.comPort, ctl::Event::Commit); });
}

} // namespace conn
