#include "link/connect_page.h"

#include "link/com232.h"
#include "link/connect_page_ui.h"
#include "link/connect_test.h"
#include "link/link_texts.h"
#include "link/link_ui.h"
#include "link/program_link.h"
#include "platform/runtime.h"
#include "platform/serial_port.h"
#include "platform/shell_services.h"
#include "platform/widgets.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace conn {
namespace {

ConnectPage& Page() {
    return Panels().connect;
}

void Show(QWidget* w, bool shown) {
    if (w != nullptr) {
        w->setVisible(shown);
    }
}

void ProcessPendingEvents() {
    for (int i = 0; i < 3; ++i) {
        platform::ProcessSystemEvents();
    }
}

} // namespace

std::string PortText = "10001";

void DimLinkButtons(bool dim) {
    ConnectPage& c = Page();
    c.accept->setEnabled(!dim);
    c.changeBaudrate->setEnabled(!dim);
    c.hwInfo->setEnabled(!dim);
}

void ReadConnectionControls() {
    ConnectPage& c = Page();
    com232::ProgramLink().ComProtocol = static_cast<uint16_t>(c.protocol->Val());
    com232::ProgramLink().ComPort = static_cast<uint16_t>(ComPortFromSelector());
    com232::ProgramLink().BaudrateIndex = static_cast<uint16_t>(c.baudrate->Val());
    com232::ProgramLink().ServerAddress = c.address->currentText().trimmed().toStdString();
    PortText = c.portNumber->text().toStdString();
}

void SetBaudrateSelector(int index) {
    ctl::Ring* baudrate = Page().baudrate;
    if (!baudrate->SetVal(index)) {
        // An index the selector cannot show opens the port at 115200; the
        // selector shows that rate, so that what is read back is what is used.
        baudrate->SetVal(com232::kDefaultBaudrateIndex);
    }
}

void InitConnectPanel() {
    ConnectPage& c = Page();
    com232::ProgramLink().ComProtocol = static_cast<uint16_t>(c.protocol->Val());
    if (com232::ProgramLink().ComProtocol == com232::kProtocolRs232) {
        for (QWidget* w :
             {static_cast<QWidget*>(c.comPort), c.comPortLabel, static_cast<QWidget*>(c.baudrate),
              c.baudrateLabel, static_cast<QWidget*>(c.changeBaudrate)}) {
            Show(w, true);
        }
        for (QWidget* w : {static_cast<QWidget*>(c.address), c.addressLabel,
                           static_cast<QWidget*>(c.portNumber), c.portNumberLabel}) {
            Show(w, false);
        }
    } else if (com232::ProgramLink().ComProtocol == com232::kProtocolTcp) {
        for (QWidget* w :
             {static_cast<QWidget*>(c.comPort), c.comPortLabel, static_cast<QWidget*>(c.baudrate),
              c.baudrateLabel, static_cast<QWidget*>(c.changeBaudrate)}) {
            Show(w, false);
        }
        for (QWidget* w : {static_cast<QWidget*>(c.address), c.addressLabel,
                           static_cast<QWidget*>(c.portNumber), c.portNumberLabel}) {
            Show(w, true);
        }
    }
}

// ---- COM-port selector ---------------------------------------------------------

void FillComPortSelector() {
    QComboBox* box = Page().comPort;
    const QString typed = box->currentText();
    QSignalBlocker block(box);
    box->clear();
    for (const platform::SerialPortDescription& d : platform::ListSerialPorts()) {
        QString label =
            QStringLiteral("%1  %2").arg(d.comPort).arg(QString::fromStdString(d.device));
        if (!d.description.empty()) {
            label += QStringLiteral("  (%1)").arg(QString::fromStdString(d.description));
        }
        box->addItem(label, d.comPort);
    }
    box->setEditText(typed);
}

int ComPortFromSelector() {
    QComboBox* box = Page().comPort;
    const QString text = box->currentText().trimmed();
    const int item = box->findText(text);
    if (item >= 0) {
        return box->itemData(item).toInt();
    }
    // A typed number (also "COM5"): its first run of digits.
    QString digits;
    for (const QChar ch : text) {
        if (ch.isDigit()) {
            digits += ch;
        } else if (!digits.isEmpty()) {
            break;
        }
    }
    bool ok = false;
    const int n = digits.left(5).toInt(&ok);
    return ok ? n : 0;
}

void SetComPortSelector(int comPort) {
    QComboBox* box = Page().comPort;
    QSignalBlocker block(box);
    const int item = box->findData(comPort);
    if (item >= 0) {
        box->setCurrentIndex(item);
    } else {
        box->setEditText(QString::number(comPort));
    }
}

// ---- address history -------------------------------------------------------------

std::vector<std::string> AddressHistory() {
    QComboBox* box = Page().address;
    std::vector<std::string> list;
    for (int i = 0; i < box->count(); ++i) {
        list.push_back(box->itemText(i).toStdString());
    }
    return list;
}

void AppendAddressHistory(const std::string& address) {
    QComboBox* box = Page().address;
    QSignalBlocker block(box);
    const QString text = box->currentText();
    box->addItem(QString::fromStdString(address));
    box->setEditText(text);
}

void UpdateAddressHistory(const std::string& address) {
    QComboBox* box = Page().address;
    QSignalBlocker block(box);
    const QString a = QString::fromStdString(address);
    const int existing = box->findText(a, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (existing >= 0) {
        box->removeItem(existing);
    }
    box->insertItem(0, a);
    while (box->count() > kAddressHistoryMax) {
        box->removeItem(box->count() - 1);
    }
    box->setCurrentIndex(0);
}

// ---- connect, disconnect, baud rate ---------------------------------------------------

void TryToConnect() {
    // Whatever is open goes first, serial port or TCP connection alike: a
    // connection left behind would report its end against the new one.
    com232::ProgramLink().CloseLink();
    com232::Ui().ShowConnectionStatus(kTextTryToConnect);
    com232::Ui().AppendMessage(std::string(kTextTryToConnect) + "\n");

    ReadConnectionControls();
    ProcessPendingEvents();

    const bool serial = com232::ProgramLink().ComProtocol == com232::kProtocolRs232;
    com232::Ui().ShowLinkIndicator(serial, "COM " + std::to_string(com232::ProgramLink().ComPort),
                                   com232::ProgramLink().ServerAddress);
    com232::ProgramLink().ServerPort = PortNumberOfText(PortText);
    if (serial) {
        com232::ProgramLink().InitRS232();
    } else {
        com232::ProgramLink().InitTCP_IP();
    }
    if (com232::ProgramLink().LinkResult >= 0) {
        com232::CheckComLine(com232::ProgramLink());
        return;
    }
    com232::AskCloseOrOffline(com232::kTextCouldNotConnect);
}

void Disconnect() {
    ConnectPage& c = Page();
    shell::Shell().SetButtonsDimmed(0, 1);
    com232::ProgramLink().ComPort = static_cast<uint16_t>(ComPortFromSelector());
    // The port that is open, not the one the selector names by now.
    com232::ProgramLink().CloseLink();
    com232::Ui().ShowConnectionStatus(kTextNoSensor);
    com232::Ui().AppendMessage(std::string(kTextNoSensor) + "\n\n");
    com232::Ui().SelectFileTarget();
    // Only a successful connection test enables the link buttons again, so
    // offline mode looks the same whether the user or a failure chose it.
    DimLinkButtons(true);
    c.tryToConnect->setEnabled(true);
    c.baudrate->setEnabled(true);
    com232::Ui().EnableTransferCommands();
    com232::ProgramLink().LinkOk = 0;
}

void ChangeBaudrate() {
    com232::ProgramLink().BaudrateIndex = static_cast<uint16_t>(Page().baudrate->Val());
    com232::Ui().AppendMessage("TRY TO CHANGE BAUDRATE!\n");
    com232::ProgramLink().FillTxBuf(com232::kOrderBaudrate, com232::ProgramLink().BaudrateIndex, 0);
    if (com232::ProgramLink().DataExchange(static_cast<int>(com232::kHeaderSize)) != 1) {
        return;
    }
    com232::Ui().AppendMessage("SUCCESS!\n");
    com232::ProgramLink().InitRS232();
    com232::ProgramLink().LinkOk = 1;
    TryToConnect();
    if (com232::ProgramLink().LinkOk == 1) {
        com232::Ui().AppendMessage("ATTENTION!!!   CONFIRM NEW BAUDRATE WITH EEPROM AND SEND!\n\n");
    }
}

void ShowSensorId(const std::string& id) {
    com232::Ui().ShowSensorId(id);
}

// ---- callbacks -------------------------------------------------------------------

int CBF_ButtonTryToConnect(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        shell::Shell().SetButtonsDimmed(0, 1);
        TryToConnect();
        if (com232::ProgramLink().LinkOk == 1) {
            shell::Shell().SetButtonsDimmed(0, 0);
        }
    }
    return 0;
}

int CBF_ButtonDisconnect(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        Disconnect();
    }
    return 0;
}

int CBF_ButtonAccept(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        shell::Shell().StoreSettings();
        shell::Shell().ShowPage(shell::kPageParameter);
    }
    return 0;
}

int CBF_ButtonChangeBaudrate(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        shell::Shell().SetButtonsDimmed(0, 1);
        DimLinkButtons(true);
        ChangeBaudrate();
        // After OFFLINE in the question of a failed reconnect, offline mode
        // keeps its own dimming; otherwise the commands come back.
        if (com232::ProgramLink().LinkOpen()) {
            shell::Shell().SetButtonsDimmed(0, 0);
        }
    }
    return 0;
}

int CBF_ButtonGenHwInfoFile(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        shell::Shell().SetButtonsDimmed(0, 1);
        com232::Ui().GenerateHWInfoFile();
        shell::Shell().SetButtonsDimmed(0, 0);
    }
    return 0;
}

int CBF_EditCommunicationProtocol(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        InitConnectPanel();
        DimLinkButtons(true);
    }
    return 0;
}

int CBF_EditSelectComPort(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        DimLinkButtons(true);
    }
    return 0;
}

int CBF_EditSelectBaudrate(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        Page().accept->setEnabled(false);
    }
    return 0;
}

int CBF_StringIpAdress(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        ConnectPage& c = Page();
        c.accept->setEnabled(false);
        com232::ProgramLink().ServerAddress = c.address->currentText().trimmed().toStdString();
        if (!com232::ProgramLink().ServerAddress.empty()) {
            UpdateAddressHistory(com232::ProgramLink().ServerAddress);
        }
    }
    return 0;
}

int CBF_StringPortNumber(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        Page().accept->setEnabled(false);
    }
    return 0;
}

int CBF_EditID(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        ShowSensorId(Page().id->text().toStdString());
    }
    return 0;
}

int CBF_DispStatus(QWidget*, ctl::Event e) {
    if (e == ctl::Event::RightDoubleClick) {
        Page().messages->clear();
    }
    return 0;
}

} // namespace conn
