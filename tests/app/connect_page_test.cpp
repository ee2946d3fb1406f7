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
#include <QPlainTextEdit>
#include <QPushButton>

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
