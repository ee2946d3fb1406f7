// The connection page: protocol visibility, address history, port number,
// the ID, the message box and the baud-rate change over a serial line.
#include "app/panels.h"
#include "link/connect_page.h"
#include "link/link_texts.h"
#include "params/transfer.h"
#include "platform/serial_port.h"
#include "platform/tab_control.h"
#include "platform/widgets.h"
#include "tests/app/app_fixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

#include <cstdlib>

using app::P;

namespace {

class ConnectPage : public AppFixture {
protected:
    void StartOnline() {
        StartSensor();
        WriteTcpSettings();
        StartProgram();
        user_->Clear();
    }
    void EnterAddress(const std::string& a) {
        P().connect.address->setEditText(QString::fromStdString(a));
        emit P().connect.address->lineEdit()->returnPressed();
    }
    std::string Messages() { return P().connect.messages->toPlainText().toStdString(); }
};

} // namespace

TEST_F(ConnectPage, ProtocolChoiceShowsItsControlsAndDimsTheLinkButtons) {
    StartOnline();
    conn::ConnectPage& c = P().connect;
    QWidget* page = P().main.tabs->Page(app::kPageConnection);
    EXPECT_TRUE(c.address->isVisibleTo(page));
    EXPECT_FALSE(c.baudrate->isVisibleTo(page));
    EXPECT_FALSE(c.changeBaudrate->isVisibleTo(page));
    c.protocol->SetVal(0);
    emit c.protocol->committed();
    EXPECT_EQ(com232::kProtocolRs232, app::P().sensor.link.ComProtocol);
    EXPECT_TRUE(c.baudrate->isVisibleTo(page));
    EXPECT_TRUE(c.comPort->isVisibleTo(page));
    EXPECT_TRUE(c.changeBaudrate->isVisibleTo(page));
    EXPECT_FALSE(c.address->isVisibleTo(page));
    EXPECT_FALSE(c.portNumber->isVisibleTo(page));
    EXPECT_FALSE(c.accept->isEnabled());
    EXPECT_FALSE(c.changeBaudrate->isEnabled());
    EXPECT_FALSE(c.hwInfo->isEnabled());
}

TEST_F(ConnectPage, AddressHistoryIsNewestFirstWithoutDuplicatesAndAtMostTen) {
    StartOnline();
    for (int i = 1; i <= 4; ++i) {
        EnterAddress("10.0.0." + std::to_string(i));
    }
    EXPECT_EQ("10.0.0.4", app::P().connectView->AddressHistory()[0]);
    EXPECT_FALSE(P().connect.accept->isEnabled());
    const size_t n = app::P().connectView->AddressHistory().size();
    EnterAddress("10.0.0.2"); // third from the top
    EXPECT_EQ(n, app::P().connectView->AddressHistory().size());
    const std::vector<std::string> top = app::P().connectView->AddressHistory();
    EXPECT_EQ((std::vector<std::string>{"10.0.0.2", "10.0.0.4", "10.0.0.3", "10.0.0.1"}),
              std::vector<std::string>(top.begin(), top.begin() + 4));
    for (int i = 10; i < 30; ++i) {
        EnterAddress("sensor-" + std::to_string(i));
    }
    const std::vector<std::string> h = app::P().connectView->AddressHistory();
    ASSERT_EQ(10u, h.size());
    EXPECT_EQ("sensor-29", h.front());
    EXPECT_EQ("sensor-20", h.back());
}

TEST_F(ConnectPage, IdIsShownOnTheOtherPanelsAndTheMessageBoxClears) {
    StartOnline();
    P().connect.id->SetText("LINE 3 / STATION 7");
    emit P().connect.id->committed();
    EXPECT_EQ("LINE 3 / STATION 7", P().recorder.id->text().toStdString());
    EXPECT_EQ("LINE 3 / STATION 7", P().colBig.id->text().toStdString());
    EXPECT_EQ("LINE 3 / STATION 7", P().grpBig.id->text().toStdString());
    EXPECT_FALSE(Messages().empty());
    app::P().connectView->CBF_DispStatus(P().connect.messages, ctl::Event::RightDoubleClick);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ConnectPage, DisconnectGoesOfflineAndTryToConnectComesBack) {
    StartOnline();
    P().connect.disconnect->click();
    EXPECT_EQ(0, app::P().sensor.link.TcpConnected);
    EXPECT_EQ(params::kTargetFile, app::P().sensor.transfer.TransferTarget);
    EXPECT_EQ("NO SENSOR CONNECTED!", P().data.status->text().toStdString());
    EXPECT_FALSE(P().main.go->isEnabled());
    EXPECT_FALSE(P().connect.disconnect->isEnabled());
    P().connect.tryToConnect->click();
    EXPECT_EQ(1, app::P().sensor.link.TcpConnected);
    EXPECT_EQ(1, app::P().sensor.link.LinkOk);
    EXPECT_TRUE(P().main.go->isEnabled());
    EXPECT_TRUE(P().connect.disconnect->isEnabled());
    EXPECT_EQ("127.0.0.1", P().data.addressIndicator->text().toStdString());
}

namespace {

// The program on a serial line: the simulated sensor on a pseudo-terminal.
class SerialConnect : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        sim::Options o;
        o.tcp = false;
        o.pty = true;
        sensor_ = std::make_unique<sim::Simulator>(o);
        std::string error;
        ASSERT_TRUE(sensor_->Start(&error)) << error;
        WriteSettingsText("[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n\r\n"
                          "[COMMUNICATION SETTINGS]\r\nCOMPROTOCOL = 0\r\nCOMPORT = " +
                          std::to_string(sensor_->PtyComPort()) + "\r\nBAUDRATE = 4\r\n\r\n");
        StartProgram();
        user_->Clear();
    }
    std::string Messages() { return P().connect.messages->toPlainText().toStdString(); }
};

} // namespace

TEST_F(SerialConnect, ConnectsOverTheSerialLine) {
    EXPECT_EQ(1, app::P().sensor.link.LinkOk);
    EXPECT_EQ("CHROMIK3 V4.3 SIMULATED SENSOR", P().data.status->text().toStdString());
    EXPECT_TRUE(P().data.comPortIndicator->isVisible());
    EXPECT_TRUE(P().connect.changeBaudrate->isEnabled());
}

TEST_F(SerialConnect, BaudRateChangeReconnectsAndRemindsToStoreIt) {
    Received();
    P().connect.baudrate->SetVal(7);
    P().connect.changeBaudrate->click();
    EXPECT_EQ(7, app::P().sensor.link.BaudrateIndex);
    const std::vector<std::string> sent = Received();
    ASSERT_GE(sent.size(), 4u);
    EXPECT_EQ("190 7 0", sent[0]);
    EXPECT_EQ("7 0 0", sent[1]);
    EXPECT_NE(std::string::npos,
              Messages().find("TRY TO CHANGE BAUDRATE!\nSUCCESS!\nTRY TO CONNECT!\n"));
    EXPECT_NE(std::string::npos,
              Messages().find("ATTENTION!!!   CONFIRM NEW BAUDRATE WITH EEPROM AND SEND!\n\n"));
    EXPECT_TRUE(P().connect.changeBaudrate->isEnabled());
}

TEST_F(SerialConnect, BaudRateChangeWhoseReconnectFailsGivesNoReminder) {
    sensor_->Command("fault drop order=7");
    user_->Answer(2); // OFFLINE
    P().connect.baudrate->SetVal(5);
    P().connect.changeBaudrate->click();
    EXPECT_NE(std::string::npos, Messages().find("SUCCESS!\n"));
    EXPECT_NE(std::string::npos, Messages().find(com232::kTextNoAnswer));
    EXPECT_EQ(std::string::npos, Messages().find("CONFIRM NEW BAUDRATE"));
    EXPECT_EQ(com232::kTextCouldNotConnect, user_->LastText("ATTENTION!"));
    EXPECT_FALSE(P().connect.changeBaudrate->isEnabled());
}

namespace {

// FIND SENSORS over simulated sensors: on a pseudo-terminal at a line rate
// of their own, and on TCP at loopback addresses of their own.
class FindSensors : public AppFixture {
protected:
    sim::Simulator& Add(sim::Options o) {
        found_.push_back(std::make_unique<sim::Simulator>(o));
        std::string error;
        EXPECT_TRUE(found_.back()->Start(&error)) << error;
        return *found_.back();
    }
    sim::Simulator& AddSerial(int lineBaud, uint16_t serial) {
        sim::Options o;
        o.tcp = false;
        o.pty = true;
        o.lineBaud = lineBaud;
        o.serialNumber = serial;
        return Add(o);
    }
    // Waits until the search has ended.
    bool Ended() {
        for (int i = 0; i < 1000 && P().connectView->Finder().Searching(); ++i) {
            SettleFor(0.01);
        }
        return !P().connectView->Finder().Searching();
    }
    int Row(const std::string& part) {
        const auto& listed = P().connectView->Finder().Listed();
        for (size_t i = 0; i < listed.size(); ++i) {
            if (P().connect.findResults->item(static_cast<int>(i))
                    ->text()
                    .toStdString()
                    .find(part) != std::string::npos) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    std::string Messages() { return P().connect.messages->toPlainText().toStdString(); }

    std::vector<std::unique_ptr<sim::Simulator>> found_;
};

} // namespace

TEST_F(FindSensors, FirstStartPointsAtItAndAChosenSensorIsConnected) {
    const sim::Simulator& serial = AddSerial(19200, 301);
    sim::Options o;
    o.tcpAddress = "127.0.0.42";
    o.tcpPort = 0;
    o.serialNumber = 302;
    const sim::Simulator& tcp = Add(o);
    // No settings file: COM 1 does not answer; the message points at FIND SENSORS.
    user_->Answer(2); // OFFLINE
    StartProgram();
    EXPECT_NE(std::string::npos, Messages().find(com232::kTextFirstStartFind)) << Messages();
    EXPECT_EQ(com232::kTextCouldNotConnect, user_->LastText("ATTENTION!"));

    // The serial ports (and the one typed, a pseudo-terminal the system does
    // not list) and the range typed.
    P().connect.comPort->setEditText(QString::number(serial.PtyComPort()));
    P().connect.findRange->setText(
        QString::fromStdString("127.0.0.40-44:" + std::to_string(tcp.TcpPort())));
    P().connect.findSensors->click();
    EXPECT_TRUE(P().connect.cancelFind->isEnabled());
    EXPECT_FALSE(P().connect.findSensors->isEnabled());
    ASSERT_TRUE(Ended());
    const int serialRow = Row("COM " + std::to_string(serial.PtyComPort()));
    const int tcpRow = Row("127.0.0.42:");
    ASSERT_GE(serialRow, 0);
    ASSERT_GE(tcpRow, 0);
    EXPECT_NE(std::string::npos,
              P().connect.findResults->item(serialRow)->text().toStdString().find(
                  "  19200 Bd  SERIAL 301  CHROMIK3 V4.3 SIMULATED SENSOR"));
    EXPECT_EQ(100, P().connect.findProgress->value() * 100 / P().connect.findProgress->maximum());
    EXPECT_NE(std::string::npos, Messages().find("FIND SENSORS: 2 SENSORS FOUND. DOUBLE-CLICK"));
    if (const char* shot = std::getenv("C3_FIND_SENSORS_SHOT")) {
        P().main.tabs->SetActivePage(app::kPageConnection);
        P().main.window->resize(1000, 680);
        Settle();
        P().main.window->grab().save(shot);
    }

    // Choosing one sets the link settings to it and connects.
    emit P().connect.findResults->itemActivated(P().connect.findResults->item(tcpRow));
    EXPECT_EQ(1, app::P().sensor.link.LinkOk);
    EXPECT_EQ(com232::kProtocolTcp, P().connect.protocol->Val());
    EXPECT_EQ("127.0.0.42", P().connect.address->currentText().toStdString());
    EXPECT_EQ(std::to_string(tcp.TcpPort()), P().connect.portNumber->text().toStdString());
    emit P().connect.findResults->itemActivated(P().connect.findResults->item(serialRow));
    EXPECT_EQ(1, app::P().sensor.link.LinkOk);
    EXPECT_EQ(com232::kProtocolRs232, app::P().sensor.link.ComProtocol);
    EXPECT_EQ(serial.PtyComPort(), app::P().sensor.link.ComPort);
    EXPECT_EQ(1, P().connect.baudrate->Val()); // 19200
    EXPECT_EQ("SERIAL NUMBER: 301", Messages().substr(Messages().rfind("SERIAL NUMBER"), 18));
}

TEST_F(FindSensors, CancelEndsTheSearchAtOnce) {
    // A sensor that answers nothing keeps each probe waiting its time-out.
    const sim::Simulator& silent = AddSerial(9600, 303);
    found_.back()->Command("fault drop order=7 count=0");
    user_->Answer(2); // OFFLINE
    StartProgram();
    P().connect.comPort->setEditText(QString::number(silent.PtyComPort()));
    P().connect.findSensors->click();
    SettleFor(0.2);
    ASSERT_TRUE(P().connectView->Finder().Searching());
    const double t0 = platform::Timer();
    P().connect.cancelFind->click();
    EXPECT_LT(platform::Timer() - t0, 0.1);
    EXPECT_FALSE(P().connectView->Finder().Searching());
    EXPECT_TRUE(P().connect.findSensors->isEnabled());
    EXPECT_NE(std::string::npos, Messages().find("FIND SENSORS: CANCELLED, 0 SENSORS FOUND"));
}
