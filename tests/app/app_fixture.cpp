#include "tests/app/app_fixture.h"
#include "app/panels.h"

#include "params/transfer.h"
#include "platform/widgets.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <QMetaObject>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

void AppFixture::SetUp() {
    static int counter = 0;
    dir_ = (fs::temp_directory_path() /
            ("c3-app-" + std::to_string(::getpid()) + "-" + std::to_string(counter++)))
               .string();
    fs::create_directories(dir_);
    app::SetProjectDir(dir_);
    platform::ResetQuitRequest();
    user_ = std::make_unique<platform::ScriptedPopups>();
}

void AppFixture::TearDown() {
    if (programRunning_) {
        app::Shutdown();
        programRunning_ = false;
    }
    user_.reset();
    sensor_.reset();
    app::P().sensor.model.Reset();
    platform::ResetQuitRequest();
    app::SetProjectDir("");
    app::SetDocumentsDir("");
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

void AppFixture::StartSensor(sim::Options options) {
    options.tcp = true;
    options.tcpPort = 0;
    sensor_ = std::make_unique<sim::Simulator>(options);
    std::string error;
    ASSERT_TRUE(sensor_->Start(&error)) << error;
}

void AppFixture::WriteSettingsText(const std::string& text) {
    std::ofstream out(dir_ + "/PanelSettings.cfg", std::ios::binary);
    out << text;
}

std::string AppFixture::ReadSettingsText() const {
    std::ifstream in(dir_ + "/PanelSettings.cfg", std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void AppFixture::WriteTcpSettings(unsigned port, const std::string& extra) {
    if (port == 0 && sensor_) {
        port = sensor_->TcpPort();
    }
    WriteSettingsText("[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n\r\n"
                      "[COMMUNICATION SETTINGS]\r\nCOMPROTOCOL = 1\r\nIP ADRESS = \"127.0.0.1\"\r\n"
                      "PORT NUMBER = \"" +
                      std::to_string(port) + "\"\r\n\r\n" + extra);
}

void AppFixture::StartProgram() {
    ASSERT_TRUE(app::LoadAndPreparePanels(program_));
    programRunning_ = true;
    app::InitAll();
    Settle();
}

void AppFixture::StartConnected(bool serial, sim::Options options,
                                const std::vector<std::string>& scene) {
    options.pty = options.pty || serial;
    StartSensor(options);
    for (const std::string& command : scene) {
        sensor_->Command(command);
    }
    if (serial) {
        WriteSerialSettings();
    } else {
        WriteTcpSettings();
    }
    StartProgram();
    ASSERT_EQ(1, app::P().sensor.link.LinkOk) << "the program did not connect";
    Received();
    user_->Clear();
}

void AppFixture::CloseProgram() {
    app::CBF_MAINP(app::P().main.window, ctl::Event::Close);
    app::Shutdown();
    programRunning_ = false;
}

void AppFixture::WriteSerialSettings(const std::string& baudrateLine) {
    WriteSettingsText("[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n\r\n"
                      "[COMMUNICATION SETTINGS]\r\nCOMPROTOCOL = 0\r\nCOMPORT = " +
                      std::to_string(sensor_->PtyComPort()) + "\r\n" + baudrateLine + "\r\n\r\n");
}

std::vector<std::string> AppFixture::Received() {
    std::vector<std::string> lines;
    if (!sensor_) {
        return lines;
    }
    std::istringstream in(sensor_->Command("received"));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    sensor_->Command("received clear");
    return lines;
}

void AppFixture::SettleFor(double seconds) {
    const double start = platform::Timer();
    while (platform::Timer() - start < seconds) {
        platform::ProcessSystemEvents();
    }
}

void AppFixture::ExpectOfflineMode() {
    app::Panels& p = app::P();
    EXPECT_FALSE(app::P().sensor.link.LinkOpen());
    EXPECT_EQ(0, app::P().sensor.link.LinkOk);
    EXPECT_EQ("NO SENSOR CONNECTED!", p.data.status->text().toStdString());
    EXPECT_EQ(params::kTargetFile, app::P().sensor.transfer.TransferTarget);
    EXPECT_TRUE(p.main.file->isChecked());
    EXPECT_FALSE(p.main.ram->isChecked());
    EXPECT_FALSE(p.main.eeprom->isChecked());
    const std::pair<const char*, QWidget*> usable[] = {{"TRY TO CONNECT", p.connect.tryToConnect},
                                                       {"baud rate", p.connect.baudrate},
                                                       {"SEND", p.main.send},
                                                       {"GET", p.main.get},
                                                       {"MANUAL RECORD", p.recorder.manualRecord}};
    for (const auto& [name, w] : usable) {
        EXPECT_TRUE(w->isEnabled()) << name;
    }
    const std::pair<const char*, QWidget*> dimmed[] = {
        {"GO", p.main.go},
        {"RAM", p.main.ram},
        {"EEPROM", p.main.eeprom},
        {"FILE", p.main.file},
        {"DISCONNECT", p.connect.disconnect},
        {"ACCEPT", p.connect.accept},
        {"CHANGE BAUDRATE", p.connect.changeBaudrate},
        {"hardware information", p.connect.hwInfo},
        {"SEND CF", p.calibration.sendCF},
        {"CALC CF", p.calibration.calcCF},
        {"send offset", p.offset.send},
        {"SCAN", p.scopePage.scan},
        {"record mode", p.recorder.mode},
        {"START RECORD", p.recorder.startRecord},
        {"graph teach start", p.teachGraph.start}};
    for (const auto& [name, w] : dimmed) {
        EXPECT_FALSE(w->isEnabled()) << name;
    }
}

void AppFixture::Settle(int passes) {
    for (int i = 0; i < passes; ++i) {
        platform::ProcessSystemEvents();
    }
}
