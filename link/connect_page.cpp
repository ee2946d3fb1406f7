#include "link/connect_page.h"

#include "link/com232.h"
#include "link/connect_page_ui.h"
#include "link/connect_test.h"
#include "link/link_texts.h"
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
#include <QScrollBar>
#include <QTextCursor>

namespace conn {
namespace {

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

ConnectView::ConnectView(LinkPanels& panels, com232::SensorLink& link, ConnectHooks hooks)
    : panels_(panels), link_(link), hooks_(std::move(hooks)) {
    Wire();
    FindHooks find;
    find.appendMessage = [this](const std::string& text) { AppendMessage(text); };
    find.typedComPort = [this] { return ComPortFromSelector(); };
    find.connect = [this](const com232::SearchResult& r) { ConnectFound(r); };
    finder_ = std::make_unique<FindSensorsView>(Page(), std::move(find));
    subscriptions_ += link_.failed.Connect([this](const std::string& text) {
        hooks_.showConnectionStatus(com232::kTextTimeout);
        AppendMessage(text.substr(0, 255) + "\n\n");
        DimLinkButtons(true);
        shell::Shell().ShowPage(shell::kPageConnection);
    });
    subscriptions_ +=
        link_.message.Connect([this](const std::string& text) { AppendMessage(text); });
}

ConnectView::~ConnectView() = default;

void ConnectView::AppendMessage(const std::string& text) {
    QPlainTextEdit* box = Page().messages;
    if (box == nullptr) {
        return;
    }
    QTextCursor cursor = box->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QString::fromStdString(text));
    box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
}

com232::ConnectionTestUi ConnectView::TestUi() {
    com232::ConnectionTestUi ui;
    ui.showStatus = hooks_.showConnectionStatus;
    ui.setStatusToolTip = hooks_.setConnectionStatusToolTip;
    ui.appendMessage = [this](const std::string& text) { AppendMessage(text); };
    ui.getPara = hooks_.getPara;
    ui.dimLinkButtons = [this](bool dim) { DimLinkButtons(dim); };
    ui.close = hooks_.quit;
    ui.offline = [this] { Disconnect(); };
    ui.beforeQuestion = [this] {
        if (firstStart_) {
            AppendMessage(com232::kTextFirstStartFind);
        }
    };
    return ui;
}

void ConnectView::DimLinkButtons(bool dim) {
    ConnectPage& c = Page();
    c.accept->setEnabled(!dim);
    c.changeBaudrate->setEnabled(!dim);
    c.hwInfo->setEnabled(!dim);
}

void ConnectView::ReadConnectionControls() {
    ConnectPage& c = Page();
    link_.ComProtocol = static_cast<uint16_t>(c.protocol->Val());
    link_.ComPort = static_cast<uint16_t>(ComPortFromSelector());
    link_.BaudrateIndex = static_cast<uint16_t>(c.baudrate->Val());
    link_.ServerAddress = c.address->currentText().trimmed().toStdString();
    PortText = c.portNumber->text().toStdString();
}

void ConnectView::SetBaudrateSelector(int index) {
    ctl::Ring* baudrate = Page().baudrate;
    if (!baudrate->SetVal(index)) {
        // An index the selector cannot show opens the port at 115200; the
        // selector shows that rate, so that what is read back is what is used.
        baudrate->SetVal(com232::kDefaultBaudrateIndex);
    }
}

void ConnectView::InitConnectPanel() {
    ConnectPage& c = Page();
    link_.ComProtocol = static_cast<uint16_t>(c.protocol->Val());
    if (link_.ComProtocol == com232::kProtocolRs232) {
        for (QWidget* w :
             {static_cast<QWidget*>(c.comPort), c.comPortLabel, static_cast<QWidget*>(c.baudrate),
              c.baudrateLabel, static_cast<QWidget*>(c.changeBaudrate)}) {
            Show(w, true);
        }
        for (QWidget* w : {static_cast<QWidget*>(c.address), c.addressLabel,
                           static_cast<QWidget*>(c.portNumber), c.portNumberLabel}) {
            Show(w, false);
        }
    } else if (link_.ComProtocol == com232::kProtocolTcp) {
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

void ConnectView::FillComPortSelector() {
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

int ConnectView::ComPortFromSelector() {
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

void ConnectView::SetComPortSelector(int comPort) {
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

std::vector<std::string> ConnectView::AddressHistory() {
    QComboBox* box = Page().address;
    std::vector<std::string> list;
    for (int i = 0; i < box->count(); ++i) {
        list.push_back(box->itemText(i).toStdString());
    }
    return list;
}

void ConnectView::AppendAddressHistory(const std::string& address) {
    QComboBox* box = Page().address;
    QSignalBlocker block(box);
    const QString text = box->currentText();
    box->addItem(QString::fromStdString(address));
    box->setEditText(text);
}

void ConnectView::UpdateAddressHistory(const std::string& address) {
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

void ConnectView::TryToConnect() {
    // Whatever is open goes first, serial port or TCP connection alike: a
    // connection left behind would report its end against the new one.
    link_.CloseLink();
    hooks_.showConnectionStatus(kTextTryToConnect);
    AppendMessage(std::string(kTextTryToConnect) + "\n");

    ReadConnectionControls();
    ProcessPendingEvents();

    const bool serial = link_.ComProtocol == com232::kProtocolRs232;
    hooks_.showLinkIndicator(serial, "COM " + std::to_string(link_.ComPort), link_.ServerAddress);
    link_.ServerPort = PortNumberOfText(PortText);
    if (serial) {
        link_.InitRS232();
    } else {
        link_.InitTCP_IP();
    }
    if (link_.LinkResult >= 0) {
        com232::CheckComLine(link_, TestUi());
        firstStart_ = firstStart_ && link_.LinkOk != 1;
        return;
    }
    com232::AskCloseOrOffline(com232::kTextCouldNotConnect, TestUi());
}

void ConnectView::Disconnect() {
    ConnectPage& c = Page();
    shell::Shell().SetButtonsDimmed(0, 1);
    link_.ComPort = static_cast<uint16_t>(ComPortFromSelector());
    // The port that is open, not the one the selector names by now.
    link_.CloseLink();
    hooks_.showConnectionStatus(kTextNoSensor);
    AppendMessage(std::string(kTextNoSensor) + "\n\n");
    hooks_.selectFileTarget();
    // Only a successful connection test enables the link buttons again, so
    // offline mode looks the same whether the user or a failure chose it.
    DimLinkButtons(true);
    c.tryToConnect->setEnabled(true);
    c.baudrate->setEnabled(true);
    hooks_.enableTransferCommands();
    link_.LinkOk = 0;
}

void ConnectView::ChangeBaudrate() {
    link_.BaudrateIndex = static_cast<uint16_t>(Page().baudrate->Val());
    AppendMessage("TRY TO CHANGE BAUDRATE!\n");
    link_.FillTxBuf(com232::kOrderBaudrate, link_.BaudrateIndex, 0);
    if (link_.DataExchange(static_cast<int>(com232::kHeaderSize)) != 1) {
        return;
    }
    AppendMessage("SUCCESS!\n");
    link_.InitRS232();
    link_.LinkOk = 1;
    TryToConnect();
    if (link_.LinkOk == 1) {
        AppendMessage("ATTENTION!!!   CONFIRM NEW BAUDRATE WITH EEPROM AND SEND!\n\n");
    }
}

void ConnectView::ShowSensorId(const std::string& id) {
    hooks_.showSensorId(id);
}

void ConnectView::ConnectFound(const com232::SearchResult& found) {
    ConnectPage& c = Page();
    // While a command holds the link, TRY TO CONNECT is dimmed; so is this.
    if (!c.tryToConnect->isEnabled() || link_.ExchangeRunning()) {
        return;
    }
    if (found.serial && found.port.comPort <= 0) {
        AppendMessage(found.port.device + " has no COM number to connect it by.\n\n");
        return;
    }
    c.protocol->SetVal(found.serial ? com232::kProtocolRs232 : com232::kProtocolTcp);
    InitConnectPanel();
    if (found.serial) {
        SetComPortSelector(found.port.comPort);
        SetBaudrateSelector(static_cast<int>(found.baudrateIndex));
    } else {
        UpdateAddressHistory(found.tcp.host);
        c.portNumber->SetText(QString::number(found.tcp.port));
    }
    DimLinkButtons(true);
    CBF_ButtonTryToConnect(c.tryToConnect, ctl::Event::Commit);
}

// ---- callbacks -------------------------------------------------------------------

void ConnectView::CBF_ButtonTryToConnect(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        shell::Shell().SetButtonsDimmed(0, 1);
        TryToConnect();
        if (link_.LinkOk == 1) {
            shell::Shell().SetButtonsDimmed(0, 0);
        }
    }
}

void ConnectView::CBF_ButtonDisconnect(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        Disconnect();
    }
}

void ConnectView::CBF_ButtonAccept(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        shell::Shell().StoreSettings();
        shell::Shell().ShowPage(shell::kPageParameter);
    }
}

void ConnectView::CBF_ButtonChangeBaudrate(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        shell::Shell().SetButtonsDimmed(0, 1);
        DimLinkButtons(true);
        ChangeBaudrate();
        // After OFFLINE in the question of a failed reconnect, offline mode
        // keeps its own dimming; otherwise the commands come back.
        if (link_.LinkOpen()) {
            shell::Shell().SetButtonsDimmed(0, 0);
        }
    }
}

void ConnectView::CBF_ButtonGenHwInfoFile(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        shell::Shell().SetButtonsDimmed(0, 1);
        hooks_.generateHWInfoFile();
        shell::Shell().SetButtonsDimmed(0, 0);
    }
}

void ConnectView::CBF_EditCommunicationProtocol(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        InitConnectPanel();
        DimLinkButtons(true);
    }
}

void ConnectView::CBF_EditSelectComPort(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        DimLinkButtons(true);
    }
}

void ConnectView::CBF_EditSelectBaudrate(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        Page().accept->setEnabled(false);
    }
}

void ConnectView::CBF_StringIpAdress(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        ConnectPage& c = Page();
        c.accept->setEnabled(false);
        link_.ServerAddress = c.address->currentText().trimmed().toStdString();
        if (!link_.ServerAddress.empty()) {
            UpdateAddressHistory(link_.ServerAddress);
        }
    }
}

void ConnectView::CBF_StringPortNumber(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        Page().accept->setEnabled(false);
    }
}

void ConnectView::CBF_EditID(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        ShowSensorId(Page().id->text().toStdString());
    }
}

void ConnectView::CBF_DispStatus(QWidget*, ctl::Event e) {
    if (e == ctl::Event::RightDoubleClick) {
        Page().messages->clear();
    }
}

} // namespace conn
