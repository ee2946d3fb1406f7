// Start-up, the CLOSE/OFFLINE question, offline mode, dimming and the tab rules.
#include "app/panel_settings.h"
#include "app/panels.h"
#include "link/link_texts.h"
#include "params/transfer.h"
#include "platform/tab_control.h"
#include "platform/widgets.h"
#include "tests/app/app_fixture.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QToolButton>

#include <filesystem>

using app::P;

namespace {

std::string Messages() {
    return P().connect.messages->toPlainText().toStdString();
}

} // namespace

TEST_F(AppFixture, StartsConnectedAndShowsTheSensorsParameters) {
    StartSensor();
    WriteTcpSettings();
    StartProgram();
    EXPECT_EQ("CHROMIK3 Scope V4.3", P().main.window->windowTitle().toStdString());
    EXPECT_TRUE(user_->Records().empty()) << user_->Records().front().text;
    EXPECT_EQ("CHROMIK3 V4.3 SIMULATED SENSOR", P().data.status->text().toStdString());
    EXPECT_EQ(1, app::P().sensor.link.LinkOk);
    EXPECT_EQ(app::kPageParameter, P().main.tabs->ActivePage());
    EXPECT_FALSE(P().main.tabs->IsPageVisible(app::kPageOffset));
    EXPECT_EQ(P().data.panel, P().main.childArea->currentWidget());
    // the factory set of the sensor: six taught rows, binary output
    EXPECT_EQ(6, P().para.maxVecNo->value());
    EXPECT_EQ(params::kOutBinary, P().para.digitalOutmode->Val());
    EXPECT_EQ(739, P().teachPage.grid->Val(2, 1));
    // connected: commands enabled, the link buttons too
    for (QWidget* w : std::initializer_list<QWidget*>{
             P().main.send, P().main.get, P().main.go, P().connect.accept,
             P().connect.changeBaudrate, P().connect.hwInfo, P().calibration.sendCF}) {
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    }
    EXPECT_NE(std::string::npos, Messages().find("TRY TO CONNECT!\nCHROMIK3 V4.3 SIMULATED "
                                                 "SENSOR\nSERIAL NUMBER: 4711\n\n"));
    const std::vector<std::string> sent = Received();
    EXPECT_EQ((std::vector<std::string>{"7 0 0", "2 0 0", "2 2 0"}), sent);
}

TEST_F(AppFixture, UnreachableSensorOffersCloseOrOfflineAndOfflineWorksWithFiles) {
    WriteTcpSettings(1); // nothing listens on port 1
    user_->Answer(2);    // OFFLINE
    StartProgram();
    ASSERT_EQ(1u, user_->Count(platform::PopupKind::Generic));
    const platform::PopupRecord& q = user_->Records().front();
    EXPECT_EQ("ATTENTION!", q.title);
    EXPECT_EQ(com232::kTextCouldNotConnect, q.text);
    EXPECT_EQ((std::vector<std::string>{"CLOSE", "OFFLINE"}), q.buttons);
    EXPECT_FALSE(platform::QuitRequested());
    EXPECT_NE(std::string::npos, Messages().find("UnableToEstablishConnection\n\n"));
    EXPECT_NE(std::string::npos, Messages().find("NO SENSOR CONNECTED!\n\n"));
    ExpectOfflineMode();
    // SEND with FILE never touches the link
    user_->Clear();
    P().main.send->click();
    EXPECT_EQ(1u, user_->Count(platform::PopupKind::Message));
}

TEST_F(AppFixture, CloseEndsTheProgramWithoutSavingTheSettings) {
    WriteTcpSettings(1);
    const std::string before = ReadSettingsText();
    user_->Answer(1); // CLOSE
    StartProgram();
    EXPECT_TRUE(platform::QuitRequested());
    EXPECT_EQ(0, platform::RunUserInterface()); // returns at once
    app::Shutdown();
    programRunning_ = false;
    EXPECT_EQ(before, ReadSettingsText());
}

TEST_F(AppFixture, FirmwareMismatchAsksAndEscapeCloses) {
    sim::Options o;
    o.firmwareId = "CHROMIK3 V4.4.0  NEWER";
    StartSensor(o);
    WriteTcpSettings();
    StartProgram(); // no answer queued: Enter/Escape choose CLOSE
    ASSERT_EQ(1u, user_->Count(platform::PopupKind::Generic));
    EXPECT_EQ("Sensor firmware and scope version do not match! \nFirmware of connected sensor "
              "is: CHROMIK3 V4.4\nThe serial number is: 4711\n\nClose window or work in offline "
              "mode!",
              user_->Records().front().text);
    EXPECT_TRUE(platform::QuitRequested());
    EXPECT_EQ((std::vector<std::string>{"7 0 0"}), Received()); // no parameters read
}

TEST_F(AppFixture, FailedConnectionTestLeavesTheLinkButtonsDimmed) {
    StartSensor();
    WriteTcpSettings();
    StartProgram();
    ASSERT_TRUE(P().connect.changeBaudrate->isEnabled());
    sensor_->Command("fault drop count=0");
    user_->Answer(2); // OFFLINE after the failed test
    P().connect.tryToConnect->click();
    sensor_->Command("fault clear");
    app::SetButtonsDimmed(0, 0);
    EXPECT_FALSE(P().connect.changeBaudrate->isEnabled());
    EXPECT_FALSE(P().connect.hwInfo->isEnabled());
    EXPECT_FALSE(P().connect.accept->isEnabled());
    EXPECT_TRUE(P().main.go->isEnabled());
    // a successful test enables them again
    P().connect.tryToConnect->click();
    EXPECT_TRUE(P().connect.changeBaudrate->isEnabled());
    EXPECT_TRUE(P().connect.hwInfo->isEnabled());
    EXPECT_TRUE(P().connect.accept->isEnabled());
}

TEST_F(AppFixture, DimmingForGoLeavesTransferControlsAndStop) {
    StartSensor();
    WriteTcpSettings();
    StartProgram();
    app::SetButtonsDimmed(1, 1);
    EXPECT_TRUE(P().main.send->isEnabled());
    EXPECT_TRUE(P().main.eeprom->isEnabled());
    EXPECT_FALSE(P().main.go->isEnabled());
    EXPECT_TRUE(P().main.stop->isEnabled());
    EXPECT_FALSE(P().scopePage.breakScan->isEnabled());
    EXPECT_FALSE(P().teachGraph.start->isEnabled());
    EXPECT_FALSE(P().recorder.mode->isEnabled());
    app::SetButtonsDimmed(0, 0);
    EXPECT_TRUE(P().main.go->isEnabled());
    EXPECT_TRUE(P().offset.calc->isEnabled());
}

TEST_F(AppFixture, TabRulesStopAcquisitionAndShowTheScopePanel) {
    StartSensor();
    WriteTcpSettings();
    StartProgram();
    ctl::TabControl* tabs = P().main.tabs;
    app::P().sensor.link.AcquisitionRunning = 1;
    tabs->PageButton(app::kPageScope)->click();
    EXPECT_EQ(0, app::P().sensor.link.AcquisitionRunning);
    EXPECT_EQ(P().scope.panel, P().main.childArea->currentWidget());
    tabs->PageButton(app::kPageGroupHold)->click();
    EXPECT_EQ(P().scope.panel, P().main.childArea->currentWidget());
    app::P().sensor.link.AcquisitionRunning = 1;
    tabs->PageButton(app::kPageConnection)->click();
    EXPECT_EQ(0, app::P().sensor.link.AcquisitionRunning);
    EXPECT_FALSE(P().connect.accept->isEnabled());
    EXPECT_FALSE(P().connect.changeBaudrate->isEnabled());
    EXPECT_FALSE(P().connect.hwInfo->isEnabled());
    // a panel that is not a child display panel shows the data panel
    app::ShowChildPanelDisp(P().colBig.panel);
    EXPECT_EQ(P().data.panel, P().main.childArea->currentWidget());
    EXPECT_EQ(P().data.panel, app::CurrentChildPanel());
}

TEST_F(AppFixture, EveryMainPanelControlHasItsHelpText) {
    StartSensor();
    WriteTcpSettings();
    StartProgram();
    user_->Clear();
    ctl::RightClick(P().main.send);
    ctl::RightClick(P().main.tabs->PageButton(2));
    ctl::RightClick(P().connect.disconnect);
    ASSERT_EQ(3u, user_->Records().size());
    EXPECT_EQ("INFO!", user_->Records()[0].title);
    EXPECT_NE(std::string::npos, user_->Records()[0].text.find("Shortcut Key: F9."));
    EXPECT_EQ("Select TAB-window.", user_->Records()[1].text);
    EXPECT_EQ("Disconnect from sensor.!", user_->Records()[2].text);
}

TEST_F(AppFixture, RightDoubleClickRestoresTheDefaultSize) {
    StartSensor();
    WriteTcpSettings();
    StartProgram();
    P().main.window->resize(1000, 700);
    app::CBF_MAINP(P().main.window, ctl::Event::RightDoubleClick);
    EXPECT_EQ(790, P().main.window->width());
    EXPECT_EQ(548, P().main.window->height());
}
