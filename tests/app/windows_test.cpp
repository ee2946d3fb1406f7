// Several windows side by side: a settings file named on the command line,
// the warning when two windows share one, the title naming the sensor, and
// two program processes serving two sensors, each closing (here by SIGTERM,
// as at logout) with its own settings file intact.
#include "app/instance.h"
#include "app/panel_settings.h"
#include "app/panels.h"
#include "platform/widgets.h"
#include "tests/app/app_fixture.h"
#include "tests/support/file_bytes.h"

#include <QLockFile>
#include <QProcess>
#include <QThread>

#include <csignal>
#include <filesystem>

using app::P;

namespace {

class Windows : public AppFixture {
protected:
    void TearDown() override {
        AppFixture::TearDown();
        app::SetPanelSettingsPathOverride("");
    }
    static int HandleArgs(std::vector<std::string> args) {
        std::vector<char*> argv;
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        return app::HandleCommandLine(static_cast<int>(argv.size()), argv.data());
    }
};

std::string TcpSettings(uint16_t port, const std::string& id) {
    return "[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\nPANEL ID: = \"" + id +
           "\"\r\n\r\n[COMMUNICATION SETTINGS]\r\nCOMPROTOCOL = 1\r\nIP ADRESS = "
           "\"127.0.0.1\"\r\nPORT NUMBER = \"" +
           std::to_string(port) + "\"\r\n\r\n";
}

bool Contains(const std::vector<std::string>& lines, const std::string& prefix) {
    for (const std::string& l : lines) {
        if (l.rfind(prefix, 0) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

TEST_F(Windows, ASettingsFileOnTheCommandLineIsUsedAndCreatedWithTheDefaults) {
    const std::string file = dir_ + "/line2.cfg";
    ASSERT_EQ(-1, HandleArgs({"chromik3-scope", "--settings", file}));
    EXPECT_EQ(file, app::PanelSettingsPath());
    user_->Answer(2); // no sensor at the default COM1: OFFLINE
    StartProgram();
    ASSERT_TRUE(std::filesystem::exists(file)); // created at start
    EXPECT_NE(std::string::npos, testfiles::ReadBytes(file).find("COMPROTOCOL = 0"));
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/PanelSettings.cfg"));

    // a directory that is not there is refused before any window opens
    EXPECT_EQ(1, HandleArgs({"chromik3-scope", "--settings", dir_ + "/no/such/dir/x.cfg"}));
    EXPECT_EQ(1, HandleArgs({"chromik3-scope", "--setting", file}));
    EXPECT_EQ(0, HandleArgs({"chromik3-scope", "--version"}));
}

TEST_F(Windows, ASecondWindowOnTheSameSettingsFileIsWarnedAndTheTitleNamesTheSensor) {
    StartSensor();
    WriteSettingsText(TcpSettings(sensor_->TcpPort(), "LINE 2 LEFT"));
    // another window holds the file
    QLockFile other(QString::fromStdString(app::PanelSettingsPath() + ".lock"));
    ASSERT_TRUE(other.tryLock(0));
    StartProgram();
    ASSERT_FALSE(user_->Records().empty());
    EXPECT_EQ("ATTENTION!", user_->Records().front().title);
    EXPECT_NE(std::string::npos,
              user_->Records().front().text.find("the window closed last will be kept"));
    EXPECT_EQ(1, app::P().sensor.link.LinkOk); // the window works all the same
    EXPECT_EQ("CHROMIK3 Scope V4.3 - LINE 2 LEFT", P().main.window->windowTitle().toStdString());

    // a new ID entered on the connection page names the window
    P().connect.id->SetText("LINE 2 RIGHT");
    emit P().connect.id->committed();
    EXPECT_EQ("CHROMIK3 Scope V4.3 - LINE 2 RIGHT", P().main.window->windowTitle().toStdString());
    CloseProgram();

    // once the other window is gone, no warning
    other.unlock();
    user_->Clear();
    StartProgram();
    EXPECT_TRUE(user_->Records().empty()) << user_->Records().front().text;
}

TEST_F(Windows, TwoProgramsServeTwoSensorsAndEachKeepsItsOwnSettings) {
    sim::Options o;
    o.tcpPort = 0;
    sim::Simulator left(o), right(o);
    std::string error;
    ASSERT_TRUE(left.Start(&error)) << error;
    ASSERT_TRUE(right.Start(&error)) << error;
    const std::string leftFile = dir_ + "/left.cfg";
    const std::string rightFile = dir_ + "/right.cfg";
    testfiles::WriteBytes(leftFile, TcpSettings(left.TcpPort(), "LEFT SENSOR"));
    testfiles::WriteBytes(rightFile, TcpSettings(right.TcpPort(), "RIGHT SENSOR"));

    QProcess a, b;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    a.setProcessEnvironment(env);
    b.setProcessEnvironment(env);
    a.start(C3_PROGRAM, {"--settings", QString::fromStdString(leftFile)});
    b.start(C3_PROGRAM, {"--settings", QString::fromStdString(rightFile)});
    ASSERT_TRUE(a.waitForStarted(5000));
    ASSERT_TRUE(b.waitForStarted(5000));
    auto connected = [](sim::Simulator& s) {
        std::vector<std::string> lines;
        const std::string text = s.Command("received");
        size_t start = 0;
        for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1) {
            lines.push_back(text.substr(start, nl - start));
        }
        return Contains(lines, "7 ") && Contains(lines, "2 ");
    };
    for (int i = 0; i < 200 && !(connected(left) && connected(right)); ++i) {
        QThread::msleep(50);
    }
    ASSERT_TRUE(connected(left));
    ASSERT_TRUE(connected(right));

    ::kill(static_cast<pid_t>(a.processId()), SIGTERM);
    ::kill(static_cast<pid_t>(b.processId()), SIGTERM);
    ASSERT_TRUE(a.waitForFinished(10000));
    ASSERT_TRUE(b.waitForFinished(10000));
    EXPECT_EQ(QProcess::NormalExit, a.exitStatus());
    EXPECT_EQ(0, a.exitCode()) << a.readAllStandardError().toStdString();
    EXPECT_EQ(0, b.exitCode()) << b.readAllStandardError().toStdString();

    // each file was saved at close (window keys added) and keeps its own sensor
    const std::string l = testfiles::ReadBytes(leftFile);
    const std::string r = testfiles::ReadBytes(rightFile);
    EXPECT_NE(std::string::npos, l.find("MAINPANEL FULLSCREEN"));
    EXPECT_NE(std::string::npos, r.find("MAINPANEL FULLSCREEN"));
    EXPECT_NE(std::string::npos, l.find("PANEL ID: = \"LEFT SENSOR\""));
    EXPECT_NE(std::string::npos, r.find("PANEL ID: = \"RIGHT SENSOR\""));
    EXPECT_NE(std::string::npos, l.find("\"" + std::to_string(left.TcpPort()) + "\""));
    EXPECT_NE(std::string::npos, r.find("\"" + std::to_string(right.TcpPort()) + "\""));
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/PanelSettings.cfg"));
}
