// Layout of the connection page: the interface settings (protocol, COM port
// and baud rate for RS232, address and port number for TCP/IP), the sensor
// identification, the connection commands and the message box that collects
// every link message. The rows of the settings that depend on the protocol
// keep their caption as a widget of its own, so that a caption hides and shows
// together with its control.
#include "link/connect_page_ui.h"

#include "platform/shell_services.h"
#include "platform/widgets.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace conn {
namespace {

QLabel* Caption(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return l;
}

QComboBox* EditableCombo(QWidget* parent) {
    auto* c = new QComboBox(parent);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert); // the history is kept by the behaviour
    c->setMaxVisibleItems(10);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c->setMinimumContentsLength(8);
    return c;
}

QPushButton* Command(const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setAutoDefault(false);
    return b;
}

} // namespace

void BuildConnectPage(QWidget* page, ConnectPage* ui) {
    auto* root = new QVBoxLayout(page);
    root->setContentsMargins(6, 6, 6, 6);
    root->setSpacing(6);

    // Interface settings. Rows 1..2 belong to RS232, rows 3..4 to TCP/IP.
    auto* iface = new QGroupBox("INTERFACE", page);
    auto* grid = new QGridLayout(iface);
    grid->setContentsMargins(6, 4, 6, 6);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);
    grid->setColumnStretch(1, 1);

    ui->protocol = new ctl::Ring(iface);
    ui->protocol->AddItem("RS232", 0);
    ui->protocol->AddItem("TCP/IP", 1);
    ui->protocol->SetVal(0);
    grid->addWidget(Caption("PROTOCOL", iface), 0, 0);
    grid->addWidget(ui->protocol, 0, 1);

    ui->comPort = EditableCombo(iface);
    ui->comPortLabel = Caption("COM-PORT", iface);
    grid->addWidget(ui->comPortLabel, 1, 0);
    grid->addWidget(ui->comPort, 1, 1);

    ui->baudrate = new ctl::Ring(iface);
    const char* const rates[] = {"9600",   "19200",  "38400",  "57600",
                                 "115200", "230400", "460800", "921600"};
    for (int i = 0; i < 8; ++i) {
        ui->baudrate->AddItem(rates[i], i);
    }
    ui->baudrate->SetVal(0);
    ui->baudrateLabel = Caption("BAUDRATE", iface);
    grid->addWidget(ui->baudrateLabel, 2, 0);
    grid->addWidget(ui->baudrate, 2, 1);

    ui->address = EditableCombo(iface);
    ui->address->lineEdit()->setPlaceholderText("host name or IP address");
    ui->addressLabel = Caption("ADDRESS", iface);
    grid->addWidget(ui->addressLabel, 3, 0);
    grid->addWidget(ui->address, 3, 1);

    ui->portNumber = new ctl::TextField(iface, 32);
    ui->portNumberLabel = Caption("PORT No.", iface);
    grid->addWidget(ui->portNumberLabel, 4, 0);
    grid->addWidget(ui->portNumber, 4, 1);

    // The ID field holds what the settings file keeps as the panel ID.
    ui->id = new ctl::TextField(iface, static_cast<int>(shell::kMaxPanelIdChars));
    grid->addWidget(Caption("SENSOR ID", iface), 5, 0);
    grid->addWidget(ui->id, 5, 1);
    root->addWidget(iface);

    // The page starts with RS232, so the TCP/IP rows start hidden; the
    // protocol rule shows the rows of the chosen interface from then on.
    ui->addressLabel->setVisible(false);
    ui->address->setVisible(false);
    ui->portNumberLabel->setVisible(false);
    ui->portNumber->setVisible(false);

    // Commands, two per row.
    auto* commands = new QGridLayout();
    commands->setHorizontalSpacing(6);
    commands->setVerticalSpacing(4);
    ui->tryToConnect = Command("TRY TO CONNECT", page);
    ui->disconnect = Command("DISCONNECT", page);
    ui->accept = Command("ACCEPT", page);
    ui->changeBaudrate = Command("CHANGE BAUDRATE", page);
    ui->hwInfo = Command("HARDWARE INFO FILE", page);
    commands->addWidget(ui->tryToConnect, 0, 0);
    commands->addWidget(ui->disconnect, 0, 1);
    commands->addWidget(ui->accept, 1, 0);
    commands->addWidget(ui->changeBaudrate, 1, 1);
    commands->addWidget(ui->hwInfo, 2, 0, 1, 2);
    commands->setColumnStretch(0, 1);
    commands->setColumnStretch(1, 1);
    root->addLayout(commands);

    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSize(8);

    // FIND SENSORS: the serial ports at every rate, and a TCP/IP range when
    // one is typed; the sensors found are listed to be chosen.
    auto* find = new QGroupBox("FIND SENSORS", page);
    auto* findGrid = new QGridLayout(find);
    findGrid->setContentsMargins(6, 2, 6, 4);
    findGrid->setHorizontalSpacing(6);
    findGrid->setVerticalSpacing(3);
    ui->findRangeLabel = Caption("TCP RANGE", find);
    ui->findRange = new ctl::TextField(find, 200);
    ui->findRange->setPlaceholderText("none, or e.g. 192.168.0.20-40, 10.0.5.0/24:10001");
    findGrid->addWidget(ui->findRangeLabel, 0, 0);
    findGrid->addWidget(ui->findRange, 0, 1, 1, 2);
    ui->findSensors = Command("FIND SENSORS", find);
    ui->cancelFind = Command("CANCEL", find);
    ui->cancelFind->setEnabled(false);
    ui->findProgress = new QProgressBar(find);
    ui->findProgress->setRange(0, 1);
    ui->findProgress->setValue(0);
    ui->findProgress->setTextVisible(true);
    ui->findProgress->setFormat("%p %");
    ui->findProgress->setMinimumWidth(40); // its text must not widen the page
    findGrid->addWidget(ui->findSensors, 1, 0);
    findGrid->addWidget(ui->cancelFind, 1, 1);
    findGrid->addWidget(ui->findProgress, 1, 2);
    findGrid->setColumnStretch(2, 1);
    ui->findResults = new QListWidget(find);
    ui->findResults->setFont(mono);
    ui->findResults->setSelectionMode(QAbstractItemView::SingleSelection);
    // A row too long for the page (a reason, a long identification) wraps.
    ui->findResults->setWordWrap(true);
    ui->findResults->setResizeMode(QListView::Adjust);
    ui->findResults->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->findResults->setMinimumHeight(48); // three rows
    ui->findResults->setVisible(false);    // shown by the first search
    findGrid->addWidget(ui->findResults, 2, 0, 1, 3);
    findGrid->setRowStretch(2, 1);
    root->addWidget(find);

    // Message box: every link message is appended here.
    root->addWidget(Caption("MESSAGES", page));
    ui->messages = new QPlainTextEdit(page);
    ui->messages->setReadOnly(true);
    // A program left connected for weeks keeps the latest messages; the
    // oldest lines go, so the box cannot grow without end.
    ui->messages->setMaximumBlockCount(10000);
    ui->messages->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    ui->messages->setFont(mono);
    ui->messages->setMinimumHeight(30);
    root->addWidget(ui->messages, 1);
}

} // namespace conn
