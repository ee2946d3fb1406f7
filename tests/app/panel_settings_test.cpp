// The panel-settings file: first start, foreign files, the history limits,
// the window keys, and a round trip through closing and restarting.
#include "app/panel_settings.h"
#include "app/panels.h"
#include "link/connect_page.h"
#include "platform/tab_control.h"
#include "platform/widgets.h"
#include "record/recorder_logic.h"
#include "tests/app/app_fixture.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <filesystem>

using app::P;

namespace {

class Settings : public AppFixture {
protected:
    // Starts without a reachable sensor and answers OFFLINE.
    void StartOffline() {
        user_->Answer(2);
        StartProgram();
        user_->Clear();
    }
    static std::string Header() {
        return "[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n\r\n";
    }
};

} // namespace

TEST_F(Settings, FirstStartUsesTheDefaults) {
    StartOffline();
    EXPECT_EQ(0, P().connect.protocol->Val());
    EXPECT_EQ(1, app::P().connectView->ComPortFromSelector());
    EXPECT_EQ(4, P().connect.baudrate->Val());
    EXPECT_EQ("10001", P().connect.portNumber->text().toStdString());
    EXPECT_TRUE(app::P().connectView->AddressHistory().empty());
    EXPECT_EQ(dir_ + "/Parameter.ini", app::Paths().parameterFile);
    EXPECT_EQ(dir_ + "/RecordFile.dat", app::Paths().recorderFile);
    EXPECT_EQ(dir_ + "/RecordFile.dat", P().recorder.filePath->text().toStdString());
    EXPECT_EQ(dir_ + "/TableAttributes.ini", app::Paths().tableAttributesFile);
    EXPECT_EQ(790, P().main.window->width());
    EXPECT_EQ(548, P().main.window->height());
    // the built-in row colours in all four tables
    EXPECT_EQ(0xFF0000u, P().teachPage.grid->CellBackground(1, 6));
    EXPECT_EQ(0x000000u, P().attributes.table->CellBackground(4, 2));
    EXPECT_EQ(0xFF0000u, P().groupHold.groupTable->CellBackground(16, 2));
    EXPECT_EQ(0x800000u, P().groupHold.holdTable->CellBackground(16, 2)); // row 14
    EXPECT_EQ(0xFF0000u, P().teachPage.grid->CellBackground(31, 6));      // row 30
}

// An installed program keeps only its settings in the configuration
// directory; a new user's files go to the documents folder, which is made
// when the first of them is written.
TEST_F(Settings, AnInstalledProgramPutsTheUsersFilesIntoTheDocumentsFolder) {
    const std::string documents = dir_ + "/Documents/CHROMIK3";
    app::SetDocumentsDir(documents);
    StartOffline();
    EXPECT_EQ(documents + "/Parameter.ini", app::Paths().parameterFile);
    EXPECT_EQ(documents + "/RecordFile.dat", P().recorder.filePath->text().toStdString());
    EXPECT_EQ(documents + "/HardwareInitialFile.ini", app::Paths().hardwareIniFile);
    EXPECT_EQ(documents + "/TableAttributes.ini", app::Paths().tableAttributesFile);
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/Documents")) << "made before it is needed";

    // SEND to FILE asks in the documents folder, made for the dialog.
    P().main.send->click();
    ASSERT_EQ(1u, user_->Count(platform::PopupKind::FileSelect));
    EXPECT_EQ(documents, user_->Records().front().file.directory);
    EXPECT_TRUE(std::filesystem::is_directory(documents));

    // The first record goes there, also offline.
    std::filesystem::remove_all(dir_ + "/Documents");
    P().recorder.mode->SetVal(record::kModeManual);
    P().recorder.manualRecord->click();
    EXPECT_TRUE(std::filesystem::is_regular_file(documents + "/RecordFile.dat"));
    EXPECT_EQ(1, P().recorder.recorded->Val());

    CloseProgram();
    EXPECT_NE(std::string::npos, ReadSettingsText().find("RECORDER FILE = \"" + documents));
}

TEST_F(Settings, AFileOfAnotherTypeIsIgnoredCompletely) {
    WriteSettingsText(
        "[GENERAL INFO]\r\nFILE TYPE: = \"Parameter File\"\r\nPANEL ID: = \"X\"\r\n\r\n"
        "[IP ADDRESSES]\r\nLIST ITEMS = 1\r\nIP ADDR 1 = \"10.1.1.1\"\r\n\r\n"
        "[COMMUNICATION SETTINGS]\r\nCOMPROTOCOL = 1\r\nCOMPORT = 7\r\n"
        "IP ADRESS = \"10.1.1.1\"\r\n\r\n");
    StartOffline();
    EXPECT_EQ(0, P().connect.protocol->Val());
    EXPECT_EQ(1, app::P().connectView->ComPortFromSelector());
    EXPECT_TRUE(app::P().connectView->AddressHistory().empty());
    EXPECT_EQ("", P().connect.id->text().toStdString());
}

TEST_F(Settings, HistoryLimitsAndMissingEntries) {
    std::string list = "[IP ADDRESSES]\r\nLIST ITEMS = 25\r\n";
    for (int n = 1; n <= 25; ++n) {
        list += "IP ADDR " + std::to_string(n) + " = \"host" + std::to_string(n) + "\"\r\n";
    }
    WriteSettingsText(Header() + list);
    StartOffline();
    const std::vector<std::string> h = app::P().connectView->AddressHistory();
    ASSERT_EQ(10u, h.size());
    EXPECT_EQ("host1", h.front());
    EXPECT_EQ("host10", h.back());
}

TEST(PanelSettingsFile, MissingEntryIsSkippedAndMissingPathsGetTheValidFileDefaults) {
    ini::IniStorePtr store = ini::MakeIniStore();
    ini::Ini_PutString(store.get(), "GENERAL INFO", "FILE TYPE:", "Panel Settings");
    ini::Ini_PutInt(store.get(), "IP ADDRESSES", "LIST ITEMS", 3);
    ini::Ini_PutString(store.get(), "IP ADDRESSES", "IP ADDR 1", "a");
    ini::Ini_PutString(store.get(), "IP ADDRESSES", "IP ADDR 3", "c");
    ini::Ini_PutString(store.get(), "DIRECTORIES", "RECORDER FILE", "/data/rec.dat");
    ASSERT_TRUE(settings::IsPanelSettings(store.get()));
    const settings::PanelSettingsContent c =
        settings::ReadPanelSettingsContent(store.get(), "/proj");
    EXPECT_EQ((std::vector<std::string>{"a", "c"}), c.addressHistory);
    EXPECT_FALSE(c.placement.has_value());
    EXPECT_EQ("/proj", c.directories.parameterFile);
    EXPECT_EQ("/data/rec.dat", c.directories.recorderFile);
    EXPECT_EQ("/proj", c.directories.hardwareIniFile);
    const settings::ConnectionSettings s = settings::ReadConnectionSettings(store.get());
    EXPECT_EQ(0, s.comProtocol);
    EXPECT_EQ(1, s.comPort);
    EXPECT_EQ(4, s.baudrateIndex);
    EXPECT_EQ("10001", s.portNumber);
}

TEST(PanelSettingsFile, WindowKeysOnlyWithTheZoomKeyAndValuesAsSixteenBits) {
    ini::IniStorePtr store = ini::MakeIniStore();
    ini::Ini_PutInt(store.get(), "PANEL POSITION", "MAINPANEL LEFT", 300);
    EXPECT_FALSE(settings::ReadPanelSettingsContent(store.get(), "/p").placement.has_value());
    ini::Ini_PutInt(store.get(), "PANEL POSITION", "MAINPANEL FULLSCREEN", 0);
    const settings::WindowPlacement w =
        *settings::ReadPanelSettingsContent(store.get(), "/p").placement;
    EXPECT_EQ(300, w.left);
    EXPECT_EQ(40, w.top);
    EXPECT_EQ(790, w.width);
    ini::Ini_PutInt(store.get(), "COMMUNICATION SETTINGS", "COMPORT", 65536 + 1005);
    EXPECT_EQ(1005, settings::ReadConnectionSettings(store.get()).comPort);
    ini::Ini_PutString(store.get(), "GENERAL INFO", "PANEL ID:", std::string(150, 'x'));
    EXPECT_EQ(99u, settings::ReadPanelSettingsContent(store.get(), "/p").panelId.size());
}

TEST_F(Settings, FullscreenOpensMaximisedWhateverTheOtherKeysSay) {
    WriteSettingsText(Header() + "[PANEL POSITION]\r\nMAINPANEL FULLSCREEN = 2\r\n"
                                 "MAINPANEL WIDTH = 400\r\nMAINPANEL HEIGHT = 300\r\n\r\n");
    StartOffline();
    EXPECT_TRUE(P().main.window->isMaximized());
}

TEST_F(Settings, WindowPlacementIsAppliedWithTheZoomKey) {
    WriteSettingsText(Header() + "[PANEL POSITION]\r\nMAINPANEL FULLSCREEN = 0\r\n"
                                 "MAINPANEL LEFT = 50\r\nMAINPANEL TOP = 60\r\n"
                                 "MAINPANEL WIDTH = 900\r\nMAINPANEL HEIGHT = 600\r\n\r\n");
    StartOffline();
    EXPECT_FALSE(P().main.window->isMaximized());
    EXPECT_EQ(900, P().main.window->width());
    EXPECT_EQ(600, P().main.window->height());
}

TEST_F(Settings, CloseAndRestartRestoreIdHistoryAndConnection) {
    StartSensor();
    WriteTcpSettings();
    StartProgram();
    conn::ConnectPage& c = P().connect;
    c.id->SetText("PRESS 4 INLINE");
    for (int i = 0; i < 12; ++i) {
        c.address->setEditText(QString::fromStdString("10.9.9." + std::to_string(i)));
        emit c.address->lineEdit()->returnPressed();
    }
    c.address->setEditText("127.0.0.1");
    emit c.address->lineEdit()->returnPressed();
    const std::vector<std::string> history = app::P().connectView->AddressHistory();
    ASSERT_EQ(10u, history.size());
    CloseProgram();
    EXPECT_TRUE(platform::QuitRequested());
    const std::string text = ReadSettingsText();
    EXPECT_NE(std::string::npos, text.find("LIST ITEMS = 10\r\n"));
    EXPECT_EQ(std::string::npos, text.find("IP ADDR 11"));
    EXPECT_NE(std::string::npos, text.find("PANEL ID: = \"PRESS 4 INLINE\"\r\n"));
    EXPECT_NE(std::string::npos, text.find("SCOPE VERSION: = \"CHROMIK3 Scope V4.3\"\r\n"));

    platform::ResetQuitRequest();
    StartProgram();
    EXPECT_EQ("PRESS 4 INLINE", P().connect.id->text().toStdString());
    EXPECT_EQ("PRESS 4 INLINE", P().recorder.id->text().toStdString());
    EXPECT_EQ(history, app::P().connectView->AddressHistory());
    EXPECT_EQ(1, P().connect.protocol->Val());
    EXPECT_EQ("127.0.0.1", P().connect.address->currentText().toStdString());
    EXPECT_EQ(std::to_string(sensor_->TcpPort()), P().connect.portNumber->text().toStdString());
    EXPECT_EQ(1, app::P().sensor.link.LinkOk); // connected again with the stored settings
}

TEST_F(Settings, AcceptSavesAndShowsTheParameterPage) {
    StartSensor();
    WriteTcpSettings();
    StartProgram();
    P().main.tabs->SetActivePage(app::kPageConnection);
    P().connect.id->SetText("ACCEPTED");
    P().connect.accept->click();
    EXPECT_EQ(app::kPageParameter, P().main.tabs->ActivePage());
    EXPECT_NE(std::string::npos, ReadSettingsText().find("PANEL ID: = \"ACCEPTED\""));
}

// A settings file written by the sensor program on a Windows PC keeps its
// texts in Windows-1252. Every letter shows as itself and is written back at
// close as the Windows PC wrote it (never as U+FFFD); a text with a letter
// beyond Windows-1252 stays UTF-8; a path names the same file again.
TEST_F(Settings, WindowsCodePageTextsSurviveStartAndClose) {
    namespace fs = std::filesystem;
    const std::string recordDir = dir_ + "/Pr\xC3\xBC"
                                         "fstand"; // the name on disk (UTF-8)
    fs::create_directories(recordDir);
    WriteSettingsText(Header().substr(0, Header().size() - 2) +
                      "PANEL ID: = \"Pr\xFC"
                      "fstand K\xFChlung\"\r\n\r\n"
                      "[DIRECTORIES]\r\nRECORDER FILE = \"" +
                      dir_ +
                      "/Pr\xFC"
                      "fstand/Messung \x80.dat\"\r\n\r\n"
                      "[TABLE ATTR OF TEACH VECTOR 3]\r\nRow color = 255\r\n"
                      "Row specification = \"Gr\xFCn gl\xE4nzend\"\r\n\r\n"
                      "[TABLE ATTR OF TEACH VECTOR 4]\r\nRow color = 255\r\n"
                      "Row specification = \"Gr\xC3\xBCn \xE2\x86\x92 blau\"\r\n\r\n");
    StartOffline();
    const QString id = QString::fromUtf8("Pr\xC3\xBC"
                                         "fstand K\xC3\xBChlung");
    EXPECT_EQ(id, P().connect.id->text());
    EXPECT_EQ(id, P().recorder.id->text());
    EXPECT_EQ(QString::fromUtf8("Gr\xC3\xBCn gl\xC3\xA4nzend"), P().attributes.table->Text(4, 1));
    EXPECT_EQ(QString::fromUtf8("Gr\xC3\xBCn \xE2\x86\x92 blau"), P().attributes.table->Text(5, 1));
    const QString recordPath = P().recorder.filePath->text();
    EXPECT_EQ(QString::fromStdString(recordDir) + QString::fromUtf8("/Messung \xE2\x82\xAC.dat"),
              recordPath);
    EXPECT_TRUE(QFileInfo(QFileInfo(recordPath).path()).isDir());

    CloseProgram();
    const std::string bytes = ReadSettingsText();
    EXPECT_NE(std::string::npos, bytes.find("PANEL ID: = \"Pr\xFC"
                                            "fstand K\xFChlung\"\r\n"));
    EXPECT_NE(std::string::npos, bytes.find("RECORDER FILE = \"" + dir_ +
                                            "/Pr\xFC"
                                            "fstand/Messung \x80.dat\"\r\n"));
    EXPECT_NE(std::string::npos, bytes.find("Row specification = \"Gr\xFCn gl\xE4nzend\"\r\n"));
    EXPECT_NE(std::string::npos,
              bytes.find("Row specification = \"Gr\xC3\xBCn \xE2\x86\x92 blau\"\r\n"));
    EXPECT_EQ(std::string::npos, bytes.find("\xEF\xBF\xBD")) << "a replacement character";

    // and the next start shows the same texts
    user_->Clear();
    platform::ResetQuitRequest();
    StartOffline();
    EXPECT_EQ(id, P().connect.id->text());
    EXPECT_EQ(QString::fromUtf8("Gr\xC3\xBCn gl\xC3\xA4nzend"), P().attributes.table->Text(4, 1));
    EXPECT_EQ(recordPath, P().recorder.filePath->text());
}
