// The program's command line: a wrong one is refused with a reason before
// any window opens; the window title tells two sensors' windows apart.
#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

using app::CommandLine;
using app::ParseCommandLine;

TEST(CommandLine, TakesTheSettingsFileAndRefusesWhatItDoesNotKnow) {
    EXPECT_EQ("line2.cfg", ParseCommandLine({"--settings", "line2.cfg"}).settingsFile);
    EXPECT_EQ("/tmp/a b.cfg", ParseCommandLine({"--settings=/tmp/a b.cfg"}).settingsFile);
    EXPECT_TRUE(ParseCommandLine({}).error.empty());
    EXPECT_TRUE(ParseCommandLine({"--version"}).version);
    EXPECT_TRUE(ParseCommandLine({"-h"}).help);

    EXPECT_EQ("--settings needs the name of a settings file",
              ParseCommandLine({"--settings"}).error);
    EXPECT_EQ("--settings needs the name of a settings file",
              ParseCommandLine({"--settings="}).error);
    EXPECT_EQ("--settings given twice",
              ParseCommandLine({"--settings", "a.cfg", "--settings", "b.cfg"}).error);
    EXPECT_EQ("unknown argument \"--setings\"", ParseCommandLine({"--setings", "a.cfg"}).error);
    EXPECT_EQ("unknown argument \"line2.cfg\"", ParseCommandLine({"line2.cfg"}).error);
}

TEST(CommandLine, TakesRecordFilesToViewWithoutASensor) {
    EXPECT_EQ((std::vector<std::string>{"a.dat", "/tmp/b c.dat"}),
              ParseCommandLine({"--view", "a.dat", "--view=/tmp/b c.dat"}).viewFiles);
    EXPECT_EQ("--view needs the name of a record file", ParseCommandLine({"--view"}).error);
    EXPECT_EQ("--view needs the name of a record file", ParseCommandLine({"--view="}).error);
    EXPECT_NE(std::string::npos, app::UsageText("chromik3-scope").find("--view FILE.dat"));
    // The teach table to draw under them, from a sensor's backup.
    EXPECT_EQ("line3.ini",
              ParseCommandLine({"--view", "a.dat", "--params", "line3.ini"}).paramsFile);
    EXPECT_EQ("b.ini", ParseCommandLine({"--params=b.ini", "--view", "a.dat"}).paramsFile);
    EXPECT_EQ("--params works with --view only", ParseCommandLine({"--params", "b.ini"}).error);
    EXPECT_EQ("--params needs the name of a parameter file",
              ParseCommandLine({"--view", "a.dat", "--params"}).error);
    // A report for a script: one record file, an export, a span.
    const CommandLine report =
        ParseCommandLine({"--view", "a.dat", "--export", "r.pdf", "--span=1:400"});
    EXPECT_EQ("", report.error);
    EXPECT_EQ("r.pdf", report.exportFile);
    EXPECT_EQ("1:400", report.span);
    EXPECT_EQ("--export works with exactly one --view",
              ParseCommandLine({"--view", "a.dat", "--view", "b.dat", "--export", "r.csv"}).error);
    EXPECT_EQ("--span works with --export only",
              ParseCommandLine({"--view", "a.dat", "--span", "1:2"}).error);
}

TEST(CommandLine, TheTitleNamesTheSensorWhereOneIsSet) {
    EXPECT_EQ("CHROMIK3 Scope V4.3", app::WindowTitleFor(""));
    EXPECT_EQ("CHROMIK3 Scope V4.3", app::WindowTitleFor("   "));
    EXPECT_EQ("CHROMIK3 Scope V4.3 - LINE 2 LEFT", app::WindowTitleFor("LINE 2 LEFT"));
    EXPECT_NE(std::string::npos, app::UsageText("chromik3-scope").find("--settings FILE"));
}

} // namespace
