// Connection faults met by new users, each as the scenario that showed it:
// a failed parameter read in the connection test, a TCP connection left open
// after switching to RS-232, DISCONNECT and shutdown closing the wrong port,
// offline mode after a failed baud-rate reconnect, a baud-rate index the
// selector cannot show, and a settings file with a byte-order mark.
#include "app/panels.h"
#include "link/connect_page.h"
#include "link/link_texts.h"
#include "platform/com_port_map.h"
#include "platform/serial_port.h"
#include "platform/tcp_client.h"
#include "platform/widgets.h"
#include "tests/app/app_fixture.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using app::P;

namespace {

class ConnectionFaults : public AppFixture {
protected:
    // The simulated sensor on TCP and on a pseudo-terminal.
    void StartSensorOnBothLinks() {
        sim::Options o;
        o.pty = true;
        StartSensor(o);
    }
    void ChooseProtocol(int protocol) {
        P().connect.protocol->SetVal(protocol);
        emit P().connect.protocol->committed();
    }
    // Types a COM-port number without committing it, as a user editing the field.
    void TypeComPort(int comPort) { P().connect.comPort->setEditText(QString::number(comPort)); }
    std::string Messages() { return P().connect.messages->toPlainText().toStdString(); }
};

} // namespace

// The sensor answers the identification but not the parameter read.
TEST_F(ConnectionFaults, FailedParameterReadInTheConnectionTestAsksCloseOrOffline) {
    sim::Options o;
    o.faults = {"drop order=2 count=0"}; // every parameter read unanswered
    StartSensor(o);
    WriteTcpSettings();
    user_->Answer(2); // OFFLINE
    StartProgram();
    ASSERT_EQ(1u, user_->Count(platform::PopupKind::Generic));
    const platform::PopupRecord& q = user_->Records().front();
    EXPECT_EQ("ATTENTION!", q.title);
    EXPECT_EQ(com232::kTextCouldNotConnect, q.text);
    EXPECT_EQ((std::vector<std::string>{"CLOSE", "OFFLINE"}), q.buttons);
    EXPECT_NE(std::string::npos, Messages().find(com232::kTextNoAnswer));
    EXPECT_FALSE(platform::QuitRequested());
    ExpectOfflineMode();

    // TRY TO CONNECT meets the same sensor: the same question, the same offline mode
    user_->Clear();
    user_->Answer(2);
    P().connect.tryToConnect->click();
    EXPECT_EQ(com232::kTextCouldNotConnect, user_->LastText("ATTENTION!"));
    ExpectOfflineMode();

    // once the sensor answers in full, TRY TO CONNECT connects
    sensor_->Command("fault clear");
    P().connect.tryToConnect->click();
    EXPECT_EQ(1, app::P().sensor.link.LinkOk);
    EXPECT_TRUE(P().main.go->isEnabled());
    EXPECT_TRUE(P().connect.disconnect->isEnabled());
    EXPECT_TRUE(P().connect.accept->isEnabled());
}

TEST_F(ConnectionFaults, FailedParameterReadAtStartUpCloseEndsTheProgramUnsaved) {
    sim::Options o;
    o.faults = {"drop order=2 skip=1"}; // the parameter block comes, the teach table not
    StartSensor(o);
    WriteTcpSettings();
    const std::string before = ReadSettingsText();
    StartProgram(); // Enter or Escape: CLOSE
    EXPECT_EQ(com232::kTextCouldNotConnect, user_->LastText("ATTENTION!"));
    EXPECT_TRUE(platform::QuitRequested());
    app::Shutdown();
    programRunning_ = false;
    EXPECT_EQ(before, ReadSettingsText());
}

TEST_F(ConnectionFaults, SwitchingToSerialClosesTheTcpConnection) {
    StartSensorOnBothLinks();
    WriteTcpSettings();
    StartProgram();
    ASSERT_EQ(1, app::P().sensor.link.TcpConnected);
    ChooseProtocol(com232::kProtocolRs232);
    app::P().connectView->SetComPortSelector(sensor_->PtyComPort());
    P().connect.tryToConnect->click();
    ASSERT_EQ(1, app::P().sensor.link.LinkOk);
    EXPECT_EQ(0, app::P().sensor.link.TcpConnected);
    EXPECT_EQ(0u, platform::OpenTcpConnectionCount());

    // the server ending a connection nobody uses any more leaves the serial link alone
    app::P().sensor.link.AcquisitionRunning = 1;
    EXPECT_EQ("ok: no client connected\n", sensor_->Command("close"));
    SettleFor(0.2);
    EXPECT_EQ(1, app::P().sensor.link.AcquisitionRunning);
    EXPECT_EQ(1, app::P().sensor.link.LinkOk);
    EXPECT_EQ("CHROMIK3 V4.3 SIMULATED SENSOR", P().data.status->text().toStdString());
    EXPECT_TRUE(P().connect.accept->isEnabled());
    EXPECT_EQ(std::string::npos, Messages().find(com232::kTextServerClosed));
    app::P().sensor.link.AcquisitionRunning = 0;
}

TEST_F(ConnectionFaults, DisconnectAndShutdownCloseThePortThatIsOpen) {
    StartSensorOnBothLinks();
    const int pty = sensor_->PtyComPort();
    const std::string device = platform::ComPortToDevice(pty);
    WriteSerialSettings();
    StartProgram();
    ASSERT_EQ(1, app::P().sensor.link.LinkOk);
    ASSERT_TRUE(platform::IsComDeviceOpen(device));

    TypeComPort(pty + 1);
    P().connect.disconnect->click();
    EXPECT_FALSE(platform::IsComDeviceOpen(device));
    ExpectOfflineMode();

    app::P().connectView->SetComPortSelector(pty);
    P().connect.tryToConnect->click();
    ASSERT_EQ(1, app::P().sensor.link.LinkOk);
    ASSERT_TRUE(platform::IsComDeviceOpen(device));
    TypeComPort(pty + 1);
    CloseProgram(); // the close box saves the typed number, then the program ends
    EXPECT_FALSE(platform::IsComDeviceOpen(device));
}

TEST_F(ConnectionFaults, FailedBaudRateReconnectWithOfflineIsPlainOfflineMode) {
    StartSensorOnBothLinks();
    WriteSerialSettings();
    StartProgram();
    ASSERT_EQ(1, app::P().sensor.link.LinkOk);
    sensor_->Command("fault drop order=7");
    user_->Answer(2); // OFFLINE
    P().connect.baudrate->SetVal(5);
    P().connect.changeBaudrate->click();
    EXPECT_NE(std::string::npos, Messages().find("SUCCESS!\n"));
    EXPECT_EQ(com232::kTextCouldNotConnect, user_->LastText("ATTENTION!"));
    ExpectOfflineMode();
}

// A baud-rate order that fails leaves the link open: the commands come back.
TEST_F(ConnectionFaults, FailedBaudRateOrderEnablesTheCommandsAgain) {
    StartSensorOnBothLinks();
    WriteSerialSettings();
    StartProgram();
    sensor_->Command("fault drop order=190");
    P().connect.baudrate->SetVal(5);
    P().connect.changeBaudrate->click();
    EXPECT_TRUE(user_->Records().empty());
    EXPECT_TRUE(app::P().sensor.link.LinkOpen());
    EXPECT_TRUE(P().main.go->isEnabled());
    EXPECT_TRUE(P().connect.disconnect->isEnabled());
    EXPECT_FALSE(P().connect.changeBaudrate->isEnabled());
}

TEST_F(ConnectionFaults, BaudRateIndexTheSelectorCannotShowConnectsAt115200) {
    StartSensorOnBothLinks();
    WriteSerialSettings("BAUDRATE = 9");
    StartProgram();
    ASSERT_EQ(1, app::P().sensor.link.LinkOk);
    EXPECT_EQ(4, P().connect.baudrate->Val());
    EXPECT_EQ(4, app::P().sensor.link.BaudrateIndex);
    // the line itself runs at 115200
    const int fd = ::open(sensor_->PtyPath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios t{};
    ASSERT_EQ(0, ::tcgetattr(fd, &t));
    ::close(fd);
    EXPECT_EQ(static_cast<speed_t>(B115200), ::cfgetospeed(&t));
}

TEST_F(ConnectionFaults, SettingsFileWithAByteOrderMarkIsRead) {
    StartSensor();
    WriteTcpSettings();
    WriteSettingsText("\xEF\xBB\xBF" + ReadSettingsText());
    StartProgram();
    EXPECT_TRUE(user_->Records().empty());
    EXPECT_EQ(com232::kProtocolTcp, P().connect.protocol->Val());
    EXPECT_EQ(1, app::P().sensor.link.TcpConnected);
    EXPECT_EQ(1, app::P().sensor.link.LinkOk);
}
